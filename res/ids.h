/* Resource and control identifiers, shared by the code and the resource script.
   Plain #defines only: windres reads this file too. */
#ifndef SETUP_RES_IDS_H
#define SETUP_RES_IDS_H

/* The version both programs give in their logs, and the same as the four numbers and
   the text of their version resources (res/version.rc) */
#define SETUP_VERSION    "1.1.0"
#define SETUP_VERSION_NUMBERS 1,1,0,0
#define SETUP_VERSION_TEXT "1.1.0.0"
#define SETUP_COMPANY    "Velan"

/* Dialog templates */
#define IDD_WELCOME      101
#define IDD_FINISH       102
#define IDD_INSTALLING   103
#define IDD_BROWSE       104
#define IDD_SETUPTYPE    105
#define IDD_COMPONENTS   106
#define IDD_DESTINATION  107

/* Icons */
#define IDI_WELCOME      200
#define IDI_DISKETTE     201
#define IDI_SQUARES      202

/* Bitmaps (there is no 305) */
#define IDB_DRIVE_A_OFF  300
#define IDB_DRIVE_A_ON   301
#define IDB_DRIVE_B_OFF  302
#define IDB_DRIVE_B_ON   303
#define IDB_SIDE         304
#define IDB_TITLE_BANNER 306
#define IDB_FOOTER       307

/* Strings: section and key names of the setup script, and the program's messages */
#define IDS_DISKLABEL        1
#define IDS_DIRECTORYNAME    2
#define IDS_FILECOUNTS       3
#define IDS_DISK1            4   /* 4..9: Disk1..Disk6 */
#define IDS_ROOTDIR          10  /* 10..19: the ten directory keys in table order */
#define IDS_SUBDIR1          11
#define IDS_WINDIR           16
#define IDS_WINSYSTEMDIR     17
#define IDS_WININFDIR        18
#define IDS_WINSYSTEM32DIR   19
#define IDS_READ_ERROR       20
#define IDS_MAIN             22
#define IDS_DEFAULTPATH      23
#define IDS_DEFAULTINI       24
#define IDS_MINIMUMSPACE     25
#define IDS_GROUPNAME        26
#define IDS_GROUPTITLE       27
#define IDS_NOT_COMPLETED    28
#define IDS_SETUP_PROGRAM    29
#define IDS_PRODUCTNAME      30
#define IDS_CANNOT_CREATE    33
#define IDS_NO_SPACE         34
#define IDS_COPYING          36
#define IDS_PMINFO           40
#define IDS_STARTUP          41
#define IDS_FILENAME         42
#define IDS_TITLE            43
#define IDS_NT_ONLY          44
#define IDS_MFG              45
#define IDS_MOUSEDRIVER      46
#define IDS_MOUSEINF         47
#define IDS_DRIVERDATE       48
#define IDS_PS2INFSECTION    49
#define IDS_SERIALINFSECTION 50
#define IDS_PS2NAME          51
#define IDS_SERIALNAME       52
#define IDS_PNPID            53
#define IDS_CONTROLPANEL     54
/* What the Installing page says of files it could not install. */
#define IDS_NOT_INSTALLED    55
#define IDS_AND_MORE         56
#define IDS_FAIL_SCRIPT      57
#define IDS_FAIL_MISSING     58
#define IDS_FAIL_DAMAGED     59
#define IDS_FAIL_UNREADABLE  80
#define IDS_FAIL_PATH        81
#define IDS_FAIL_READONLY    82
#define IDS_FAIL_FULL        83
#define IDS_FAIL_WRITE       84
#define IDS_FAIL_LINE        85
/* The Destination page's refusal of a destination too long for the package. */
#define IDS_PATH_TOO_LONG    86
#define IDS_ALREADY_RUNNING  87

/* Controls. Next and Cancel are IDOK and IDCANCEL on purpose: the dialog manager sends
   command 1 for Enter and 2 for Escape, so the keyboard presses the page's buttons with
   no code of the page's own. */
#define IDC_NEXT          1     /* "&Next >" */
#define IDC_INSTALL_CANCEL 1    /* the same button on the Installing page: "Cancel" */
#define IDC_FINISH        1     /* the same button on the Finish page: "Finish" */
#define IDC_CANCEL        2
#define IDC_BACK          3
#define IDC_DEST_LABEL    1003  /* Destination page label; Browse dialog path edit */
#define IDC_SEPARATOR     1006
#define IDC_FRAME_A       1009
#define IDC_FRAME_B       1010
#define IDC_PROGRESS      1011
#define IDC_PROGRESS2     1012
#define IDC_PERCENT       1013
#define IDC_PERCENT2      1014
#define IDC_DISK_ICON1    1015
#define IDC_DISK_ICON2    1016
#define IDC_DISK_ICON3    1017
#define IDC_SQUARES_ICON  1018
#define IDC_STATUS        1019
#define IDC_SIDE_PICTURE  1022
#define IDC_HEADING       1023
#define IDC_WELCOME_TEXT  1024
#define IDC_BROWSE        1025
#define IDC_TYPICAL       1026
#define IDC_CUSTOM        1027
#define IDC_COMPONENT0    1028  /* 1028..1031: one check box per component flag */
#define IDC_COMPONENT1    1029
#define IDC_COMPONENT2    1030
#define IDC_COMPONENT3    1031
#define IDC_RESTART_YES   1032
#define IDC_RESTART_NO    1033

/* Controls of the old-style Open dialog that the Browse template carries */
#define IDC_OFN_CURDIR    1088
#define IDC_OFN_TYPELABEL 1089
#define IDC_OFN_NAMELABEL 1090
#define IDC_OFN_DRIVELABEL 1091
#define IDC_OFN_TYPELABEL2 1092
#define IDC_OFN_READONLY  1040
#define IDC_OFN_FILELIST  1120
#define IDC_OFN_DIRLIST   1121
#define IDC_OFN_TYPES     1136
#define IDC_OFN_DRIVES    1137
#define IDC_OFN_FILENAME  1152

/* The uninstaller's strings (60-79): its section of UNINSTAL.INF and its texts */
#define IDS_UNINSTALL        60  /* section [Uninstall]: Keep1.. name the files left */
#define IDS_UNINST_NO_SCRIPT 61
#define IDS_UNINST_DAMAGED   62
#define IDS_UNINST_CONFIRM   63
#define IDS_UNINST_DONE      64
#define IDS_UNINST_PARTLY    65
#define IDS_UNINST_KEPT      66
#define IDS_UNINST_PENDING   67
#define IDS_UNINST_NOT_EMPTY 68
#define IDS_UNINST_FAILED    69
#define IDS_UNINST_FOREIGN   70
#define IDS_UNINST_MORE      71
#define IDS_UNINST_RESTART   72
#define IDS_UNINST_SHARED    73
#define IDS_UNINST_NOT_LIVE  74
#define IDS_UNINST_CAPTION   75
#define IDS_UNINST_RUNNING   76
#define IDS_UNINST_BUSY      77
#define IDS_UNINST_LIVE_USES 78

#endif
