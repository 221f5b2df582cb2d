// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#pragma once
// What assistive technology needs beyond the toolkit's own: names that say
// what a control is, where the toolkit would give none or its value.
class QString;
class QWidget;

namespace accessible {

// Lets a combo box be named after its label: on this platform the toolkit
// gives its current text as its name. Once per application.
void install();

// Names a control and the edit field inside it (of a combo or spin box),
// which is the part that takes the focus and is announced.
void setName(QWidget *control, const QString &name);

} // namespace accessible
