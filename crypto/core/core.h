#pragma once
// The cryptographic core: plain functions that return 0 or a negative error code.
#include "crypto/core/errors.h"
#include "crypto/core/encoding.h"
#include "crypto/core/random.h"
#include "crypto/core/sha2.h"
#include "crypto/core/aes.h"
#include "crypto/core/argon2.h"
#include "crypto/core/blake2b.h"
