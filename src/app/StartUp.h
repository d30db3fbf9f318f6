#pragma once

#include <memory>

class TApplication;
class TFormMain;

// Takes the program folder's lock, clears what a killed run left there, connects to the data
// file and creates the main window. While another copy runs, the user is told so and the data
// file is not touched; without a working connection the user has seen "数据库连接失败！". In
// both cases no window is created (nullptr).
std::unique_ptr<TFormMain> CreateMainWindow();

// The whole run of the program: start-up, the event loop, and the end.
int RunProgram(TApplication& app);
