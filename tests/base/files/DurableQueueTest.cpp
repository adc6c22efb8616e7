#include "base/files/DurableQueue.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

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

// A FIFO or a link planted in the file's place is neither waited on nor followed:
// the queue goes on in memory, and the file a link leads to stays as it was.
TEST(DurableQueueTest, KeepsToMemoryWhenItsNameIsAFifoOrALink) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString target = dir.filePath(QStringLiteral("elsewhere"));
    QFile targetFile(target);
    ASSERT_TRUE(targetFile.open(QIODevice::WriteOnly));
    targetFile.write("+YQ==\n");
    targetFile.close();
    const QString link = dir.filePath(QStringLiteral("link"));
    ASSERT_TRUE(QFile::link(target, link));

    for (const QString& path : {fifo, link}) {
        DurableQueue queue(path, 3);
        EXPECT_FALSE(queue.load());
        EXPECT_TRUE(queue.records().isEmpty());
        for (const char* record : {"a", "b", "c", "d"}) {
            EXPECT_TRUE(queue.push(record));
        }
        EXPECT_TRUE(queue.popFront());
        EXPECT_EQ(queue.records(), (QList<QByteArray>{"c", "d"}));
    }
    EXPECT_EQ(QFileInfo(fifo).isFile(), false);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    ASSERT_TRUE(targetFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(targetFile.readAll(), QByteArray("+YQ==\n"));
}

// Of a file longer than its byte limit only the newest lines are read, and no
// more records than fit are kept while reading.
TEST(DurableQueueTest, ReadsOnlyTheNewestBytesOfALongFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("queue"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(3 * 1024 * 1024, 'x')); // one line too long for any record
    file.write("\n");
    for (int i = 0; i < 1000; ++i) {
        file.write("+" + QByteArray::number(1000 + i).toBase64() + "\n");
    }
    file.close();

    const QList<QByteArray> newest = reloaded(path, 3);
    EXPECT_EQ(newest, (QList<QByteArray>{"1997", "1998", "1999"}));
    EXPECT_LT(QFileInfo(path).size(), 100); // cut down to what waits
    DurableQueue appender(path, 1000);
    for (int i = 0; i < 100; ++i) {
        appender.push(QByteArray::number(2900 + i));
    }
    DurableQueue limited(path, 1000, 95); // nine lines and part of one
    ASSERT_TRUE(limited.load());
    EXPECT_EQ(limited.records().size(), 9);
    EXPECT_EQ(limited.records().constLast(), QByteArray("2999"));
}

} // namespace
} // namespace kestrova
