// Bounded text helpers. Every text of the program lives in a fixed buffer; these copy
// and append so that the result always fits its room (characters including the
// terminator) and is always terminated. They return 1 when the whole text fitted and 0
// when it was cut, so a caller can refuse a value instead of using a cut one.
#pragma once

int TextCopy(char* dst, int room, const char* src);
int TextAppend(char* dst, int room, const char* src);

template <int N> inline int TextCopy(char (&dst)[N], const char* src) { return TextCopy(dst, N, src); }
template <int N> inline int TextAppend(char (&dst)[N], const char* src) { return TextAppend(dst, N, src); }
