#pragma once

#include <QString>

namespace kestrova {

class Program;

// The sound window's player.
class Player {
public:
    explicit Player(Program& program);

    void loadSoundWindow();
    void stopPlayback();
    void cmdStop_MouseDown(int button, int shift, int x, int y);
    void cmdStop_MouseUp(int button, int shift, int x, int y);
    void cmdStop_Click();

    bool playing = false;
    long long startPos = 0;
    long long pos = 0;
    QString currentFile;
    QString loadedFile;

private:
    Program& program_;
};

} // namespace kestrova
