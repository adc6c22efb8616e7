#include "base/mqtt/RecordingDelivery.h"

#include "support/FakeEventLog.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrova {
namespace {

// A record leaves the queue only with the broker's acknowledgement of its own
// message, one after the other; what was not acknowledged is there after a restart.
TEST(RecordingDeliveryTest, OnlyTheFrontsAcknowledgementTakesItOff) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("queue"));
    test::FakeEventLog events;
    QList<QByteArray> sent;
    int nextMid = 1;
    const auto send = [&](const QByteArray& record) {
        sent << record;
        return nextMid++;
    };
    {
        RecordingDelivery delivery(path, 100, events, send);
        delivery.take("a");
        delivery.take("b");
        EXPECT_TRUE(sent.isEmpty()); // not connected
        delivery.connected();
        EXPECT_EQ(sent, QList<QByteArray>{"a"});
        delivery.acknowledged(7); // a status message's, say
        delivery.take("c");
        EXPECT_EQ(sent.size(), 1);
        delivery.acknowledged(1);
        EXPECT_EQ(sent, (QList<QByteArray>{"a", "b"}));
        EXPECT_EQ(delivery.waiting(), 2);
        delivery.lost();
    }
    RecordingDelivery restarted(path, 100, events, send);
    EXPECT_EQ(restarted.waiting(), 2);
    restarted.connected();
    EXPECT_EQ(sent.last(), QByteArray("b"));
    restarted.acknowledged(nextMid - 1);
    EXPECT_EQ(sent.last(), QByteArray("c"));
    EXPECT_TRUE(events.lines.isEmpty()) << events.lines.join('\n').toStdString();
}

} // namespace
} // namespace kestrova
