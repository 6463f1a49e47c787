#pragma once

#include "tests/support/ChildProcess.h"

#include <memory>
#include <string>
#include <vector>

// build/bin/fault-child run by a test, its standard output read back.
class CFaultChild {
public:
    // Starts it with the arguments after the program name.
    explicit CFaultChild(const std::vector<std::string>& arguments);
    ~CFaultChild();
    CFaultChild(const CFaultChild&) = delete;
    CFaultChild& operator=(const CFaultChild&) = delete;

    // The next line it prints, without its line feed; empty at the end.
    std::string ReadLine();
    void Kill();
    // Waits for it to end; everything it printed that was not read yet.
    std::string Finish();

private:
    int m_output = -1;
    std::unique_ptr<CChildProcess> m_process;
};

// Runs it to the end; everything it printed.
std::string RunFaultChild(const std::vector<std::string>& arguments);
