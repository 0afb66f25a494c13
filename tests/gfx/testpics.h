/* Resources of the drawing tests, numbered clear of the program's own. */
#define IDB_KEYTEST 900
