#include "storage.h"

#include "numbering.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace storage {

namespace {
const char *const kCodec = "windows-1250";

QString decode(const QByteArray &bytes)
{
    QStringDecoder decoder(kCodec);
    return decoder.decode(bytes);
}

// Reads the whole file; sets status and error when it cannot.
bool readAll(const QString &fileName, QByteArray &bytes, LoadStatus &status, QString &error)
{
    QFileInfo info(fileName);
    if (!info.exists()) {
        status = LoadStatus::Missing;
        error = QStringLiteral("Soubor %1 neexistuje.").arg(fileName);
        return false;
    }
    QFile file(fileName);
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
        status = LoadStatus::Unreadable;
        error = QStringLiteral("Soubor %1 nelze přečíst.").arg(fileName);
        return false;
    }
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        status = LoadStatus::Unreadable;
        error = QStringLiteral("Soubor %1 nelze přečíst: %2").arg(fileName, file.errorString());
        return false;
    }
    status = LoadStatus::Ok;
    return true;
}

// Splits at LF, dropping one CR before it; a last line end is optional.
QStringList splitLines(const QString &text)
{
    QStringList lines;
    if (text.isEmpty())
        return lines;
    lines.reserve(text.size() / 40 + 1);
    qsizetype start = 0;
    const qsizetype n = text.size();
    const QChar *data = text.constData();
    for (qsizetype i = 0; i < n; ++i) {
        if (data[i] == QLatin1Char('\n')) {
            qsizetype end = i;
            if (end > start && data[end - 1] == QLatin1Char('\r'))
                --end;
            lines.append(QString(data + start, end - start));
            start = i + 1;
        }
    }
    if (start < n) {
        qsizetype end = n;
        if (data[end - 1] == QLatin1Char('\r'))
            --end;
        lines.append(QString(data + start, end - start));
    }
    return lines;
}

SaveResult writeBytes(const QString &fileName, const QByteArray &bytes)
{
    SaveResult result;
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        result.error = QStringLiteral("Soubor %1 nelze zapsat: %2").arg(fileName, file.errorString());
        return result;
    }
    // QSaveFile::commit() does not notice a failed flush of its own buffer
    // (disk full, size limit) and would put a cut-short file in place.
    if (file.write(bytes) != bytes.size() || !file.flush() || !file.commit()) {
        result.error = QStringLiteral("Soubor %1 nelze zapsat: %2").arg(fileName, file.errorString());
        file.cancelWriting();
        return result;
    }
    result.ok = true;
    return result;
}

SaveResult unencodable(const QString &fileName, int line)
{
    SaveResult result;
    result.badLine = line;
    result.error = QStringLiteral("Soubor %1 nebyl uložen: řádek %2 obsahuje znak, který nelze zapsat v kódování Windows-1250.")
                       .arg(fileName)
                       .arg(line + 1);
    return result;
}
} // namespace

QString header(const QString &fileName)
{
    if (fileName == LOKOMOTIVY)
        return QStringLiteral("Databáze lokomotivy");
    if (fileName == VOZY)
        return QStringLiteral("Databáze vozy");
    if (fileName == REZIM)
        return QStringLiteral("list režimů");
    if (fileName == VLASTNIK)
        return QStringLiteral("list vlastníků vozu");
    if (fileName == TRIDA_VOZU)
        return QStringLiteral("list charakteristiky 5-6");
    if (fileName == CHARAKTERISTIKA)
        return QStringLiteral("list charakteristiky 7-8");
    return QString();
}

QStringList defaultSettings()
{
    return {QStringLiteral("te false"), QStringLiteral("ud false")};
}

LoadResult load(const QString &fileName)
{
    LoadResult result;
    QByteArray bytes;
    if (readAll(fileName, bytes, result.status, result.error))
        result.lines = splitLines(decode(bytes));
    return result;
}

TextResult loadText(const QString &fileName)
{
    TextResult result;
    QByteArray bytes;
    if (readAll(fileName, bytes, result.status, result.error)) {
        QString text = decode(bytes);
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        result.text = std::move(text);
    }
    return result;
}

bool isEncodable(const QString &text)
{
    QStringEncoder encoder(kCodec);
    const QByteArray bytes = encoder.encode(text);
    Q_UNUSED(bytes);
    return !encoder.hasError();
}

int firstUnencodableLine(const QStringList &lines)
{
    for (int i = 0; i < lines.size(); ++i)
        if (!isEncodable(lines[i]))
            return i;
    return -1;
}

SaveResult save(const QString &fileName, const QStringList &lines)
{
    QString text;
    qsizetype size = 0;
    for (const QString &line : lines)
        size += line.size() + 2;
    text.reserve(size);
    for (const QString &line : lines) {
        text += line;
        text += QLatin1String("\r\n");
    }
    QStringEncoder encoder(kCodec);
    const QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        return unencodable(fileName, firstUnencodableLine(lines));
    return writeBytes(fileName, bytes);
}

SaveResult saveText(const QString &fileName, const QString &text)
{
    QString crlf = text;
    crlf.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    QStringEncoder encoder(kCodec);
    const QByteArray bytes = encoder.encode(crlf);
    if (encoder.hasError())
        return unencodable(fileName, firstUnencodableLine(text.split(QLatin1Char('\n'))));
    return writeBytes(fileName, bytes);
}

bool scan(const QString &fileName, const std::function<void(const QString &)> &lineFn)
{
    LoadResult loaded = load(fileName);
    if (!loaded.ok())
        return false;
    for (const QString &line : std::as_const(loaded.lines))
        lineFn(line);
    return true;
}

QString vehicleNumberText(const QString &digits, int checkDigit)
{
    return digits + QLatin1Char('-') + QString::number(checkDigit);
}

QString locomotiveLine(const QString &number, const QString &dkv, const QString &pj)
{
    return number + QLatin1String(" dkv ") + dkv + QLatin1String(" pj ") + pj;
}

QString wagonLine(const QString &number, const QString &dkv, const QString &domovka)
{
    return number + QLatin1String(" dkv ") + dkv + QLatin1String(" domovska ") + domovka;
}

std::optional<int> locomotiveKey(const QString &line)
{
    return numbering::toInt(line.left(6));
}

std::optional<qint64> wagonKey(const QString &line)
{
    return numbering::toInt64(line.left(11));
}

} // namespace storage
