#pragma once

#include <QString>
#include <QStringList>

namespace kestrova {

class Program;

// The list of recent recordings and the deletion of old ones.
class Archive {
public:
    explicit Archive(Program& program);

    void createTables();
    void refreshRecordingList();
    void deleteMarkedRecordings();

    QStringList headerFields;
    QStringList deleteList;

private:
    Program& program_;
};

} // namespace kestrova
