#pragma once

namespace zorvan::codepage_tables {

// Characters of the bytes 0x80..0xFF, and the lower-case byte of every byte value.
extern const char16_t k1250High[128];
extern const unsigned char k1250Lower[256];
extern const char16_t k1252High[128];
extern const unsigned char k1252Lower[256];

}  // namespace zorvan::codepage_tables
