#pragma once

#include <QHostAddress>
#include <array>
#include <cstddef>

namespace kestrova {

// An address and port in the form the system's socket calls take, for libraries
// that want one (the web page's server binds to it).
class SocketAddress {
public:
    SocketAddress(const QHostAddress& host, quint16 port);

    // A struct sockaddr of the address's family; nullptr for an address that is neither v4 nor v6.
    const void* data() const { return length_ == 0 ? nullptr : storage_.data(); }
    std::size_t length() const { return length_; }

private:
    alignas(std::max_align_t) std::array<unsigned char, 128> storage_{};
    std::size_t length_ = 0;
};

} // namespace kestrova
