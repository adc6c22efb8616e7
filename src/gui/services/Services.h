#pragma once

#include "base/platform/Platform.h"

#include <QString>

namespace kestrova {

class Archive;
class HeldSounds;
class ListInteractions;
class Player;
class Recorder;
class StatusBar;
class Transmitter;
struct ProgramIdentity;
struct SettingsValues;

// What a subsystem reaches of the running program: the platform, the forms and its
// fellow subsystems. It only declares them, so it sits below every subsystem; a
// subsystem includes the header of a fellow it calls, and calls only fellows below
// itself (docs/ARCHITECTURE.md). The program in app implements it.
class Services {
public:
    Services(const Services&) = delete;
    Services& operator=(const Services&) = delete;

    virtual const Platform& platform() const = 0;
    // The simple sound playback that a held transmission keeps to itself.
    virtual HeldSounds& heldSounds() = 0;
    virtual const ProgramIdentity& identity() const = 0;
    // Also the folder in which captures are saved under their bare names.
    virtual const QString& programFolder() const = 0;
    virtual const SettingsValues& settingsValues() = 0;

    virtual bool hasEnded() const = 0;
    virtual void createSoundForm() = 0;

    virtual StatusBar& statusBar() = 0;
    virtual Transmitter& transmitter() = 0;
    virtual Player& player() = 0;
    virtual Archive& archive() = 0;
    virtual ListInteractions& listInteractions() = 0;
    virtual Recorder& recorder() = 0;

protected:
    Services() = default;
    ~Services() = default;
};

} // namespace kestrova
