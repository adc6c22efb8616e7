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
    // Keeps and files a recording the capture has just saved as `workingFile`.
    void keepRecording(const QString& workingFile, const QString& name);

    QStringList headerFields;
    QStringList deleteList;

private:
    Program& program_;
};

} // namespace kestrova
