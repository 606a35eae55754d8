// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class MainView;
class QQmlApplicationEngine;
class ToolNotices;
class Updater;

// Loads the window's QML into `engine` with the controllers it binds to.
// Answers false when the window could not be made (a QML module missing).
namespace WindowSetup {
bool load(QQmlApplicationEngine& engine, MainView& mainView, Updater& updater, ToolNotices& notices);
}
