#pragma once
// Hexadecimal, Base64, Base64url and Base32 (RFC 4648 sections 4, 5, 6 and 8).
//
// Encoders take n data bytes and write exactly the encoded length, with no line
// breaks and no terminator:
//   hexadecimal  2n                "0123456789ABCDEF"
//   Base64(url)  4 * ceil(n / 3)   padded with "=" (Base64url too)
//   Base32       8 * ceil(n / 5)   upper case, padded with "="
// n == 0 writes nothing and returns kOk, whatever the pointers. With n > 0, a null
// data or destination pointer gives kNullPointer. data and destination must not overlap.
//
// Decoders read a zero-terminated 8-bit text and write the decoded bytes, no
// terminator. A null text or destination gives kNullPointer. They never read past
// the terminator and never write more than CharLength(text) bytes, the count that
// the conversion component computes from the same zero-terminated text (L = its
// length, division truncated):
//   hexadecimal  (L + 1) / 2
//   Base64(url)  (L + 1) / 4 * 3, less 1 if the text ends in "=", less 2 if in "=="
//   Base32       (L + 1) / 8 * 5, less 1 if the last character is "=" and the
//                second to last is not; else less 2 if the last two are "=" and
//                the fourth from the end is not; else less 3 if the fourth from
//                the end is "=" and the fifth is not; else less 4 if the fifth
//                from the end is "=" (the last two steps whatever ends the text)
// A zero or negative CharLength means nothing is written.
//
// Base64, Base64url and Base32 decoding first drops what RemoveBlanks drops (control
// characters, space, "!" and bytes 0x80 to 0xFF); R below is what remains.
//   - R empty: kOk, nothing written.
//   - R not a whole number of groups (4 characters, Base32 8), including the texts
//     of one to three (seven) characters, with or without "=": kMallocFails (-2),
//     nothing written. Unpadded texts are therefore refused, never truncated.
//   - Otherwise the decoded length m is R's CharLength; every group gives 3 (5)
//     bytes and the last one loses one byte per step of its trailing "=" run, as
//     above. If m exceeds the CharLength of the text as given (possible only when
//     blanks sit inside the padding), kMallocFails and nothing written.
// Characters outside the alphabet are never reported: they count as 0, "=" inside
// the text included, and so do characters past the end of the alphabet ("{" to DEL
// for Base64 and Base64url; "[" to DEL, lower case included, for Base32).
//
// HexaToChar accepts both cases, skips every other character and always succeeds
// on a non-null text: digits pair up into bytes, a final lone digit d leaves the
// byte d << 4.
#include <cstdint>

namespace core {

int32_t CharToHexa(const uint8_t* data, uint32_t length, char* destination);
int32_t CharToBase64(const uint8_t* data, uint32_t length, char* destination);
int32_t CharToBase64url(const uint8_t* data, uint32_t length, char* destination);
int32_t CharToBase32(const uint8_t* data, uint32_t length, char* destination);

int32_t HexaToChar(const char* text, uint8_t* destination);
int32_t Base64ToChar(const char* text, uint8_t* destination);
int32_t Base64urlToChar(const char* text, uint8_t* destination);
int32_t Base32ToChar(const char* text, uint8_t* destination);

// Copies every byte of text that is at least 0x22 read as a signed 8-bit number
// (so not a control character, space, "!" or 0x80 to 0xFF) to destination, in
// order, followed by a zero byte. destination holds at least strlen(text) + 1
// bytes and may be text itself. Null pointers give kNullPointer.
int32_t RemoveBlanks(const char* text, char* destination);

}  // namespace core
