// What a File holds on Windows: the system's handle.
#pragma once

namespace varnel {

struct SystemFile {
    void* handle = nullptr;
};

}  // namespace varnel
