#include "base/files/DurableQueue.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrova {
namespace {

QList<QByteArray> reloaded(const QString& path, qsizetype capacity = 100) {
    DurableQueue queue(path, capacity);
    EXPECT_TRUE(queue.load());
    return queue.records();
}

// What waits survives a restart in order, whatever bytes a record holds, and a line
// cut off by a crash is dropped without spoiling what is appended after it.
TEST(DurableQueueTest, KeepsItsOrderAcrossARestartAndATornLine) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("queue"));
    DurableQueue queue(path, 100);
    ASSERT_TRUE(queue.load());
    for (int i = 0; i < 200; ++i) {
        ASSERT_TRUE(queue.push(QByteArray("line\n") + QByteArray::number(i)));
        if (i % 2 == 0) {
            ASSERT_TRUE(queue.popFront());
        }
    }
    EXPECT_EQ(reloaded(path), queue.records());
    EXPECT_EQ(queue.records().constFirst(), QByteArray("line\n100"));

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("+bGlu"); // a crash in the middle of an append
    file.close();
    DurableQueue after(path, 100);
    ASSERT_TRUE(after.load());
    EXPECT_EQ(after.records(), queue.records());
    ASSERT_TRUE(after.push("next"));
    EXPECT_EQ(reloaded(path).constLast(), QByteArray("next"));
}

// Full, the oldest gives way, and says so.
TEST(DurableQueueTest, GivesUpTheOldestWhenFull) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("queue"));
    DurableQueue queue(path, 3);
    ASSERT_TRUE(queue.load());
    for (const char* record : {"a", "b", "c", "d"}) {
        queue.push(record);
    }
    EXPECT_EQ(queue.records(), (QList<QByteArray>{"b", "c", "d"}));
    EXPECT_EQ(queue.dropped(), 1);
    EXPECT_EQ(reloaded(path, 3), queue.records());
}

} // namespace
} // namespace kestrova
