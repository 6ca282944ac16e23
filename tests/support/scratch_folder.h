#pragma once
// A fresh folder for one test, unique across processes (ctest runs test cases of
// one program in parallel processes), removed afterwards.
#include <gtest/gtest.h>

#include <filesystem>

#ifdef _WIN32
#include <process.h>
#define COFREX_GETPID _getpid
#else
#include <unistd.h>
#define COFREX_GETPID getpid
#endif

#include "platform/File.h"
#include "rtl/Path.h"
#include "rtl/String.h"

namespace test_support {

class ScratchFolder : public testing::Test {
protected:
    void SetUp() override {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        folder_ = platform::TempFolder() + u"cofrex-" + rtl::Str(info->test_suite_name()) + u"-" +
                  rtl::Str(info->name()) + u"-" + rtl::IntToStr(COFREX_GETPID()) + rtl::PathDelim;
        std::filesystem::remove_all(std::filesystem::path(folder_));
        std::filesystem::create_directories(std::filesystem::path(folder_));
    }
    void TearDown() override { std::filesystem::remove_all(std::filesystem::path(folder_)); }
    rtl::String Path(const rtl::String& name) const { return folder_ + name; }

    rtl::String folder_;
};

}  // namespace test_support
