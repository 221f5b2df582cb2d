// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#pragma once
class QApplication;

namespace trakvid {
// What every start of the program needs, tests included: the compiled-in
// pictures, Qt's own Czech texts, the application title, the box tracking and
// the menu keys F10 and Shift+F10.
void initApplication(QApplication &app);
} // namespace trakvid
