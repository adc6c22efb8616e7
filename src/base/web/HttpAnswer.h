#pragma once

#include "base/web/EventStream.h"
#include "base/web/Replies.h"

#include <QFile>
#include <functional>
#include <memory>
#include <variant>

namespace kestrova {

// A part of a file, sent at the pace the client reads it.
struct FileAnswer {
    Reply head; // status and headers; the body comes from the file
    std::unique_ptr<QFile> file;
    qint64 first = 0;
    qint64 length = 0;
};

// Events for as long as the client listens.
struct StreamAnswer {
    Reply head;
    std::shared_ptr<EventStream> stream;
};

// Work too slow for the thread that serves pages (a password check): it runs on a
// worker, and its reply is sent when it is done.
struct DeferredAnswer {
    std::function<Reply()> work;
};

using HttpAnswer = std::variant<Reply, FileAnswer, StreamAnswer, DeferredAnswer>;

} // namespace kestrova
