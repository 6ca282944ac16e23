#pragma once
// Tells whether a package is exactly what the lock makes from a given unlocker: its four
// resources are taken out, written into a copy of the unlocker through the lock's own four
// update cycles, and the result is compared with the package byte for byte. Nothing in the
// package is run or decrypted, and no password is needed.
#include <cstdint>
#include <span>

#include "rtl/String.h"

namespace builder {

// Why a package is not genuine: the first of these differences, checked in this order.
enum class PackageVerdict : uint8_t {
    genuine,
    notAnImage,          // not a PE32+ image, or one this reader refuses
    resourceMissing,     // one of the four package resources is absent
    resourceCutShort,    // ENCRYPTEDFILE is too short to be an IV and whole blocks
    codeDiffers,         // headers or sections other than the resources differ
    extraResources,      // a resource the lock does not write
    signatureAdded,      // a certificate table
    overlay,             // bytes after the image
    resourcesRewritten,  // same resources, laid out by another writer
};

struct PackageCheck {
    PackageVerdict verdict = PackageVerdict::genuine;
    rtl::String reason;  // one plain sentence without a full stop; empty when genuine
};

// Checks the package file `packagePath` against `unlocker`, the bytes of the unlocker it
// claims to carry. The rebuilt copy goes to a reserved name in the temporary folder and is
// removed afterwards. Throws EFOpenError when the package cannot be read, pe::PeError when
// `unlocker` is not an image, and rtl::Exception when the copy cannot be written.
PackageCheck VerifyPackage(const rtl::String& packagePath, std::span<const uint8_t> unlocker);

}  // namespace builder
