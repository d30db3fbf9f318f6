#pragma once

#include "support/AppDirTest.h"

#include <linux/capability.h>

// AppDirTest with DbAccess() connected to the fresh copy of the data file.
class DataFileTest : public AppDirTest {
protected:
    void SetUp() override;
    void TearDown() override;
};

// While it lives, permission bits bind this thread even for root: the capabilities that
// bypass them are set aside. Lets a test make a file or folder read-only for the program.
class ObeyFilePermissions {
public:
    ObeyFilePermissions();
    ~ObeyFilePermissions();
    ObeyFilePermissions(const ObeyFilePermissions&) = delete;
    ObeyFilePermissions& operator=(const ObeyFilePermissions&) = delete;

private:
    __user_cap_header_struct header{};
    __user_cap_data_struct saved[_LINUX_CAPABILITY_U32S_3]{};
    bool changed = false;
};
