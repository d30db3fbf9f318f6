#pragma once

#include <memory>

class TApplication;
class TFormMain;

// Connects to the data file and creates the main window; without a working connection the
// user has seen "数据库连接失败！" and no window is created (nullptr).
std::unique_ptr<TFormMain> CreateMainWindow();

// The whole run of the program: start-up, the event loop, and the end.
int RunProgram(TApplication& app);
