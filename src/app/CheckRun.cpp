#include "app/CheckRun.h"

#include "ui/Messages.h"

#include <cstdio>

namespace {

class WrittenMessageBoxes : public IMessageBoxes {
public:
    bool Show(const MessageBoxRequest& request) override {
        std::fprintf(stderr, "%s: %s\n", qPrintable(request.caption),
                     qPrintable(QString(request.text).replace('\n', ' ')));
        std::fflush(stderr);
        return request.buttons == MsgButtons::Ok;
    }
};

} // namespace

bool IsCheckRun() {
    return !qEnvironmentVariableIsEmpty("CUSTOMER_MANAGER_CHECK_RUN");
}

void BeginCheckRun() {
    static WrittenMessageBoxes boxes;
    if (IsCheckRun())
        SetMessageBoxes(&boxes);
}
