#pragma once

#include <QString>

namespace kestrova {

class Program;

// The serial control lines that key the transmitter, and the output volume.
class Transmitter {
public:
    explicit Transmitter(Program& program);

    void openControlPort();
    void transmitterOn();
    void transmitterOff();
    void applyOutputVolume();

    QString cqFile;

private:
    Program& program_;
};

} // namespace kestrova
