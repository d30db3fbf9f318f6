#include "support/DataFileTest.h"

#include "data/DbAccess.h"

#include <sys/syscall.h>
#include <unistd.h>

void DataFileTest::SetUp() {
    AppDirTest::SetUp();
    ASSERT_TRUE(DbAccess().Connect());
}

void DataFileTest::TearDown() {
    DbAccess().Disconnect();
    AppDirTest::TearDown();
}

ObeyFilePermissions::ObeyFilePermissions() {
    header.version = _LINUX_CAPABILITY_VERSION_3;
    header.pid = 0;
    if (syscall(SYS_capget, &header, saved) != 0)
        return;
    __user_cap_data_struct reduced[_LINUX_CAPABILITY_U32S_3];
    std::copy(std::begin(saved), std::end(saved), std::begin(reduced));
    reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
    changed = syscall(SYS_capset, &header, reduced) == 0;
}

ObeyFilePermissions::~ObeyFilePermissions() {
    if (changed)
        syscall(SYS_capset, &header, saved);
}
