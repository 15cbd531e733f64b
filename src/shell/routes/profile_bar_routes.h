#pragma once
// The main window's routing of the profile bar: its commands with their confirmations and
// file dialogs, the coalesced profile switch of timer 1055, and the feature tabs.

#include <QString>

namespace rerov::shell {

class CMainWnd;

/// The file dialogs' filter of profile files.
inline constexpr const char* kProfileFileFilter = "Profile Files(*.json)";

/// Adds the profile bar's rows to the window's routing tables and its timer handler.
void AddProfileBarRoutes(CMainWnd& window);

}  // namespace rerov::shell
