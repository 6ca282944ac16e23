#pragma once
// Files an operation creates on its way, removed again unless it gets to its end.
#include <vector>

#include "platform/File.h"
#include "rtl/String.h"

namespace builder {

class CreatedFiles {
public:
    CreatedFiles() = default;
    CreatedFiles(const CreatedFiles&) = delete;
    CreatedFiles& operator=(const CreatedFiles&) = delete;
    ~CreatedFiles() {
        if (!committed_)
            for (const rtl::String& path : paths_) platform::RemoveFile(path);
    }
    const rtl::String& Add(const rtl::String& path) { return paths_.emplace_back(path); }
    // The operation succeeded: the files stay.
    void Commit() { committed_ = true; }

private:
    std::vector<rtl::String> paths_;
    bool committed_ = false;
};

}  // namespace builder
