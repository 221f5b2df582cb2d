// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
// The loaders: arbitrary bytes as a file; load, scan and read as text; save
// what was loaded and load it again. Every byte is one character, so the
// lines must come back unchanged and the saved file must hold exactly the
// lines with CR LF after each.
#include "fuzzutil.h"
#include "lines.h"
#include "storage.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QTemporaryDir>

namespace {
const QString kIn = QStringLiteral("vozy.txt");
const QString kOut = QStringLiteral("lokomotivy.txt");
const QString kText = QStringLiteral("rezim.txt");

QByteArray fileBytes(const QString &name)
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        mismatch("cannot read back", name);
    return file.readAll();
}

// The lines of a file as bytes, read the plain way: split at LF, one CR
// before it (or ending the file) dropped, no line after a final LF.
QList<QByteArray> expectedLines(const QByteArray &bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    if (bytes.isEmpty() || bytes.endsWith('\n'))
        lines.removeLast();
    for (QByteArray &line : lines)
        if (line.endsWith('\r'))
            line.chop(1);
    return lines;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // Files go to memory where it is there: the saves flush to disk.
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/trakvid-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/trakvid-fuzz-XXXXXX"));
    if (!dir.isValid() || !QDir::setCurrent(dir.path()))
        mismatch("no working directory");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    {
        QFile file(kIn);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            mismatch("cannot write the input file");
    }

    const storage::LoadResult loaded = storage::load(kIn);
    if (!loaded.ok())
        mismatch("load failed", loaded.error);
    const QList<QByteArray> expected = expectedLines(bytes);
    if (loaded.lines.size() != expected.size())
        mismatch("line count", QString::number(loaded.lines.size()) + QStringLiteral(" / ") + QString::number(expected.size()));
    QByteArray expectedSaved;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        if (loaded.lines[i].size() != expected[i].size())
            mismatch("a character per byte", visible(loaded.lines[i]));
        expectedSaved += expected[i] + "\r\n";
    }

    QStringList scanned;
    if (!storage::scan(kIn, [&scanned](const QString &line) { scanned.append(line); }))
        mismatch("scan failed");
    if (scanned != loaded.lines)
        mismatch("scan and load differ");

    const storage::SaveResult saved = storage::save(kOut, loaded.lines);
    if (!saved.ok)
        mismatch("save of loaded lines refused", saved.error);
    if (fileBytes(kOut) != expectedSaved)
        mismatch("saved bytes");
    const storage::LoadResult again = storage::load(kOut);
    if (!again.ok() || again.lines != loaded.lines)
        mismatch("lines after save and load");

    // A shown database's way: the file's own bytes, saved as they are, also
    // with a line changed to itself and so kept beside the file's buffer.
    storage::Lines lines;
    if (!lines.load(kIn).ok() || lines.size() != expected.size())
        mismatch("Lines load");
    for (qsizetype i = 0; i < expected.size(); ++i)
        if (lines.bytes(i) != expected[i])
            mismatch("Lines bytes", visible(loaded.lines[i]));
    const storage::CountResult counted = storage::countLines(kIn);
    if (!counted.ok() || counted.lines != expected.size())
        mismatch("countLines", QString::number(counted.lines));
    if (!lines.save(kOut).ok || fileBytes(kOut) != expectedSaved)
        mismatch("Lines saved bytes");
    if (!expected.isEmpty()) {
        const qsizetype middle = expected.size() / 2;
        if (!lines.replace(middle, 1, {loaded.lines[middle]}) || lines.bytes(middle) != expected[middle])
            mismatch("Lines replace", visible(loaded.lines[middle]));
        if (!lines.save(kOut).ok || fileBytes(kOut) != expectedSaved)
            mismatch("Lines saved bytes after a replace");
        lines.remove(0);
        if (!lines.insert(0, {loaded.lines[0]}) || lines.texts() != loaded.lines)
            mismatch("Lines remove and insert");
    }

    // The output pane's way: the whole text, saved as it stands.
    const storage::TextResult text = storage::loadText(kIn);
    if (!text.ok())
        mismatch("loadText failed", text.error);
    const storage::SaveResult textSaved = storage::saveText(kText, text.text);
    if (!textSaved.ok)
        mismatch("saveText of loaded text refused", textSaved.error);
    const storage::TextResult textAgain = storage::loadText(kText);
    if (!textAgain.ok() || textAgain.text != text.text)
        mismatch("text after saveText and loadText", visible(text.text) + QStringLiteral(" / ") + visible(textAgain.text));
    return 0;
}
