#pragma once

#include "base/files/RegularDescriptor.h"
#include "base/web/EventStream.h"
#include "base/web/Replies.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <variant>

namespace kestrova {

// A part of a file, sent at the pace the client reads it. The library sends it
// straight from the file, without copying it through the program.
struct FileAnswer {
    Reply head; // status and headers; the body comes from the file
    RegularDescriptor file;
    qint64 first = 0;
    qint64 length = 0;
};

// Events for as long as the client listens.
struct StreamAnswer {
    Reply head;
    std::shared_ptr<EventStream> stream;
};

// Work too slow for the thread that serves pages (a password check, a listing): it
// runs on a worker, and its reply is sent when it is done. Each kind of work has a
// worker of its own, so a long listing never holds up a login.
struct DeferredAnswer {
    enum class Worker { PasswordCheck, Listing };
    static constexpr std::size_t kWorkers = 2;

    std::function<Reply()> work;
    Worker worker = Worker::PasswordCheck;
};

using HttpAnswer = std::variant<Reply, FileAnswer, StreamAnswer, DeferredAnswer>;

} // namespace kestrova
