#pragma once
// Sizes and field offsets of the PE32+ structures this library reads and writes, as the
// PE/COFF format lays them down. Offsets are relative to the start of their structure.
#include <cstdint>

namespace pe::format {

inline constexpr uint16_t kDosMagic = 0x5A4D;         // "MZ"
inline constexpr uint32_t kDosLfanew = 0x3C;          // offset of the PE signature
inline constexpr uint32_t kPeSignature = 0x00004550;  // "PE\0\0"

// COFF file header, after the 4-byte signature.
inline constexpr uint32_t sizeOfFileHeader = 20;
inline constexpr uint32_t kFhNumberOfSections = 2;
inline constexpr uint32_t kFhPointerToSymbolTable = 8;
inline constexpr uint32_t kFhNumberOfSymbols = 12;
inline constexpr uint32_t kFhSizeOfOptionalHeader = 16;

// PE32+ optional header.
inline constexpr uint16_t kPe32PlusMagic = 0x20B;
inline constexpr uint32_t kOhSizeOfInitializedData = 8;
inline constexpr uint32_t kOhSectionAlignment = 32;
inline constexpr uint32_t kOhFileAlignment = 36;
inline constexpr uint32_t kOhSizeOfImage = 56;
inline constexpr uint32_t kOhSizeOfHeaders = 60;
inline constexpr uint32_t kOhCheckSum = 64;
inline constexpr uint32_t kOhNumberOfRvaAndSizes = 108;
inline constexpr uint32_t kOhDataDirectories = 112;
inline constexpr uint32_t sizeOfDataDirectory = 8;

inline constexpr uint32_t kDirResource = 2;
inline constexpr uint32_t kDirCertificate = 4;  // its "RVA" is a file offset

// Section header.
inline constexpr uint32_t sizeOfSectionHeader = 40;
inline constexpr uint32_t kShVirtualSize = 8;
inline constexpr uint32_t kShVirtualAddress = 12;
inline constexpr uint32_t kShSizeOfRawData = 16;
inline constexpr uint32_t kShPointerToRawData = 20;
inline constexpr uint32_t kShCharacteristics = 36;
inline constexpr uint32_t kScnInitializedDataRead = 0x40000040;

// Resource directory table, its entries, strings and data entries.
inline constexpr uint32_t sizeOfResourceDirectory = 16;
inline constexpr uint32_t kRdCharacteristics = 0;
inline constexpr uint32_t kRdTimeDateStamp = 4;
inline constexpr uint32_t kRdMajorVersion = 8;
inline constexpr uint32_t kRdMinorVersion = 10;
inline constexpr uint32_t kRdNumberOfNamedEntries = 12;
inline constexpr uint32_t kRdNumberOfIdEntries = 14;
inline constexpr uint32_t sizeOfResourceDirectoryEntry = 8;
inline constexpr uint32_t kHighBit = 0x80000000;
inline constexpr uint32_t sizeOfResourceDataEntry = 16;

}  // namespace pe::format
