#pragma once

// A check run lets a test start the real, installed program and watch it to its end without a
// display or a person: with the environment variable CUSTOMER_MANAGER_CHECK_RUN set (to any
// value but empty), every message box writes its caption and text as one line to standard
// error and is answered at once (OK, or No where it asks), and the main window closes as soon
// as it has been shown, ending the program the ordinary way. Nothing else changes.
bool IsCheckRun();

// In a check run, sends the message boxes to standard error from now on.
void BeginCheckRun();
