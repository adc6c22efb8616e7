#pragma once

#include <cstdint>

namespace kestrova {

enum class RegularFileTrouble { None, Missing, NotAFile, Unreadable };

// An open descriptor, closed with the object.
class RegularDescriptor {
public:
    explicit RegularDescriptor(int descriptor = -1, RegularFileTrouble trouble = RegularFileTrouble::None)
        : descriptor_(descriptor), trouble_(trouble) {}
    ~RegularDescriptor();
    RegularDescriptor(RegularDescriptor&& other) noexcept;
    RegularDescriptor& operator=(RegularDescriptor&&) = delete;
    RegularDescriptor(const RegularDescriptor&) = delete;
    RegularDescriptor& operator=(const RegularDescriptor&) = delete;

    int get() const { return descriptor_; }
    bool isOpen() const { return descriptor_ >= 0; }
    // The size of the open file now, -1 when it cannot be told.
    std::int64_t size() const;
    RegularFileTrouble trouble() const { return trouble_; }
    // Hands the descriptor over to the caller.
    int release();
    // Closing reports the last write errors of some file systems.
    bool close();

private:
    int descriptor_;
    RegularFileTrouble trouble_;
};

} // namespace kestrova
