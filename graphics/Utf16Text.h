#pragma once
#include <string>

namespace igraphics {

// UTF-8 <-> UTF-16 conversion for texts that cross into a UTF-16 window system or font
// table. Ill-formed input (stray continuation bytes, overlong forms, surrogates written in
// UTF-8, code points past U+10FFFF, unpaired UTF-16 surrogates) becomes U+FFFD, one for each
// maximal ill-formed subsequence, as the Windows converters do, so every output is valid.
//
// The bounded forms write the whole text with its terminator or, when that would not fit
// the capacity, an empty text and return -1: a cut path, URL or family name would name
// something else, so none is made. They never write past capacity units or bytes and never
// allocate. Any thread.

// Units (bytes) the conversion needs, without the terminator.
int Utf16Length(const char* utf8);
int Utf8Length(const char16_t* utf16, int length = -1);

// Returns the units (bytes) written without the terminator, or -1 when the text did not fit
// (dst then holds "" when capacity > 0). A null source converts as "".
int Utf8ToUtf16(const char* utf8, char16_t* dst, int capacity);
// length -1: up to the terminator; otherwise at most length units (stopping at a terminator).
int Utf16ToUtf8(const char16_t* utf16, int length, char* dst, int capacity);

std::u16string ToUtf16(const char* utf8);
std::string ToUtf8(const char16_t* utf16, int length = -1);

// The same on the Windows wide-character type, which is UTF-16 there.
#if defined(_WIN32)
static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 units");
int Utf8ToUtf16(const char* utf8, wchar_t* dst, int capacity);
int Utf16ToUtf8(const wchar_t* utf16, int length, char* dst, int capacity);
std::wstring ToWide(const char* utf8);
std::string ToUtf8(const wchar_t* utf16, int length = -1);
#endif

}  // namespace igraphics
