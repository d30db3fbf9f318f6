#pragma once

#include <memory>

class TApplication;
class TFormMain;

// Makes the program folder when installed, takes its lock, clears what a killed run left there,
// copies the shipped files into it at the first start when installed, connects to the data file
// (upgrading an older one) and creates the main window. While another copy runs, the user is told
// so and the data file is not touched; without a working connection the user has seen
// "数据库连接失败！". In these cases, as when the program folder cannot be made or filled, no
// window is created (nullptr), and the run ends with exit code 1.
std::unique_ptr<TFormMain> CreateMainWindow();

// The whole run of the program: start-up, the event loop, and the end.
int RunProgram(TApplication& app);
