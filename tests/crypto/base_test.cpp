#include <gtest/gtest.h>

#include "crypto/CryptBase.h"
#include "crypto/MiscObj.h"

namespace {

TEST(Version, ReadsThreeThreeZeroZeroAndIgnoresWrites) {
    TConvert convert;
    EXPECT_EQ(convert.Version(), u"3.3.0.0");
    EXPECT_EQ(convert.VersionNumber(), 0x03030000u);
    convert.SetVersion(u"1.0");
    EXPECT_EQ(convert.Version(), u"3.3.0.0");
}

TEST(EQuorin, CarriesCodeAndMessage) {
    const EQuorin error(-206);
    EXPECT_EQ(error.Code(), -206);
    EXPECT_EQ(error.Message(), u"error : AES uses key size 128, 192 or 256 bits!");
    EXPECT_STREQ(error.what(), "error : AES uses key size 128, 192 or 256 bits!");
}

TEST(EQuorin, UnknownCodeKeepsItsCode) {
    const EQuorin error(-6);
    EXPECT_EQ(error.Code(), -6);
    EXPECT_EQ(error.Message(), u"unknown error!");
}

TEST(EQuorin, OwnMessageHasCodeZero) {
    const EQuorin error(u"Bad Type (7)");
    EXPECT_EQ(error.Code(), 0);
    EXPECT_EQ(error.Message(), u"Bad Type (7)");
}

TEST(EQuorin, RsaMessageKeepsTrailingLineFeed) {
    EXPECT_EQ(EQuorin(-300).Message(),
              u"error : the length of the RSA modulus must be 2048, 3072 or 4096 ! \n");
}

TEST(CheckCore, RaisesOnlyOnNonZero) {
    EXPECT_NO_THROW(CheckCore(0));
    try {
        CheckCore(-12);
        FAIL() << "no exception";
    } catch (const EQuorin& e) {
        EXPECT_EQ(e.Code(), -12);
        EXPECT_EQ(e.Message(), u"error : the generation of random int fails!");
    }
}

TEST(Ownership, OwnerFreesItsComponents) {
    static int destroyed = 0;
    struct Probe : TOrvCryptBase {
        using TOrvCryptBase::TOrvCryptBase;
        ~Probe() override { ++destroyed; }
    };
    destroyed = 0;
    {
        TConvert owner;
        auto* first = new Probe(&owner);
        new Probe(&owner);
        EXPECT_EQ(owner.ComponentCount(), 2);
        delete first;  // leaves its owner's list
        EXPECT_EQ(owner.ComponentCount(), 1);
        EXPECT_EQ(destroyed, 1);
    }
    EXPECT_EQ(destroyed, 2);
}

}  // namespace
