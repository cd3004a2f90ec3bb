#pragma once
// Single-instance coordination between launcher processes of one executable.
//
// Not built yet: set-up leaves the mode off, so every start hosts its own VM.
namespace orvo {

class CSingleInstance {
public:
    // Decides primary or secondary. False makes initialisation fail.
    bool SetUp() { return true; }
    // A secondary's wait for the running instance's answer.
    int SecondaryWait() { return -1; }

    bool enabled = false;
    bool isPrimary = false;
};

}  // namespace orvo
