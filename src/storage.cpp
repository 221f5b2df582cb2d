#include "storage.h"

#include "numbering.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cstring>

namespace storage {

namespace {
const char *const kCodec = "windows-1250";
// Bytes read at a time by a scan; a longer line grows the buffer.
constexpr qsizetype kChunk = 64 * 1024;

// Opens a file for reading; sets status and error when it cannot.
bool openForReading(QFile &file, LoadStatus &status, QString &error)
{
    const QString fileName = file.fileName();
    const QFileInfo info(fileName);
    if (!info.exists()) {
        status = LoadStatus::Missing;
        error = QStringLiteral("Soubor %1 neexistuje.").arg(fileName);
        return false;
    }
    if (info.isDir() || !file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        status = LoadStatus::Unreadable;
        error = QStringLiteral("Soubor %1 nelze přečíst.").arg(fileName);
        return false;
    }
    return true;
}

QString readError(const QFile &file)
{
    return QStringLiteral("Soubor %1 nelze přečíst: %2").arg(file.fileName(), file.errorString());
}

// Reads an open file to its end and hands every line to `sink`, decoded and
// without its line end. A line ends at LF; one CR before the LF, or a CR that
// ends the file, belongs to the line end. Windows-1250 has one byte per
// character, so every line decodes on its own. False when a read fails.
template <typename Sink>
bool readLines(QFile &file, Sink &&sink)
{
    QStringDecoder decoder(kCodec);
    auto deliver = [&](const char *begin, qsizetype length) {
        if (length > 0 && begin[length - 1] == '\r')
            --length;
        sink(QString(decoder.decode(QByteArrayView(begin, length))));
    };
    QByteArray buffer(kChunk, Qt::Uninitialized);
    qsizetype filled = 0;   // bytes in the buffer: the unfinished line, then new bytes
    qsizetype searched = 0; // leading bytes of them known to hold no LF
    for (;;) {
        if (filled == buffer.size())
            buffer.resize(buffer.size() * 2);
        const qint64 n = file.read(buffer.data() + filled, buffer.size() - filled);
        if (n < 0)
            return false;
        if (n == 0)
            break;
        filled += n;
        const char *data = buffer.constData();
        qsizetype start = 0;
        while (const void *lf = std::memchr(data + searched, '\n', size_t(filled - searched))) {
            const qsizetype at = static_cast<const char *>(lf) - data;
            deliver(data + start, at - start);
            start = searched = at + 1;
        }
        // Keep the unfinished line at the front for the next read.
        filled -= start;
        if (start > 0 && filled > 0)
            std::memmove(buffer.data(), buffer.constData() + start, size_t(filled));
        searched = filled;
    }
    if (filled > 0)
        deliver(buffer.constData(), filled);
    return true;
}

// Encodes `text`; false when a character has no Windows-1250 byte. A high
// surrogate at the very end counts as one: the encoder keeps it back for its
// other half and would drop it without reporting anything.
bool encode(const QString &text, QByteArray &bytes)
{
    QStringEncoder encoder(kCodec);
    bytes = encoder.encode(text);
    return !encoder.hasError() && !(!text.isEmpty() && text.back().isHighSurrogate());
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
    QFile file(fileName);
    if (!openForReading(file, result.status, result.error))
        return result;
    QStringList lines;
    if (!readLines(file, [&lines](QString &&line) { lines.append(std::move(line)); })) {
        result.status = LoadStatus::Unreadable;
        result.error = readError(file);
        return result;
    }
    result.status = LoadStatus::Ok;
    result.lines = std::move(lines);
    return result;
}

// One pass: QString::replace moves the tail once per block of matches, which
// is slow on a file of a million lines.
static void dropCrBeforeLf(QString &text)
{
    QChar *data = text.data();
    const qsizetype n = text.size();
    qsizetype out = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (data[i] == QLatin1Char('\r') && i + 1 < n && data[i + 1] == QLatin1Char('\n'))
            continue;
        data[out++] = data[i];
    }
    text.truncate(out);
}

TextResult loadText(const QString &fileName)
{
    TextResult result;
    QFile file(fileName);
    if (!openForReading(file, result.status, result.error))
        return result;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.status = LoadStatus::Unreadable;
        result.error = readError(file);
        return result;
    }
    QStringDecoder decoder(kCodec);
    QString text = decoder.decode(bytes);
    dropCrBeforeLf(text);
    result.status = LoadStatus::Ok;
    result.text = std::move(text);
    return result;
}

bool isEncodable(const QString &text)
{
    QByteArray bytes;
    return encode(text, bytes);
}

QString firstUnencodableCharacter(const QString &text, qsizetype *position)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(i, n);
        if (!isEncodable(character)) {
            if (position)
                *position = i;
            return character;
        }
        i += n - 1;
    }
    return QString();
}

QString withoutLineBreaks(const QString &text)
{
    QString result = text;
    result.replace(QLatin1String("\r\n"), QLatin1String(" "));
    result.replace(QLatin1Char('\r'), QLatin1Char(' '));
    result.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return result;
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
    QByteArray bytes;
    if (!encode(text, bytes))
        return unencodable(fileName, firstUnencodableLine(lines));
    return writeBytes(fileName, bytes);
}

SaveResult saveText(const QString &fileName, const QString &text)
{
    QString crlf = text;
    crlf.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    QByteArray bytes;
    if (!encode(crlf, bytes))
        return unencodable(fileName, firstUnencodableLine(text.split(QLatin1Char('\n'))));
    return writeBytes(fileName, bytes);
}

ScanResult scanFile(const QString &fileName, const std::function<void(const QString &)> &lineFn)
{
    ScanResult result;
    QFile file(fileName);
    if (!openForReading(file, result.status, result.error))
        return result;
    result.opened = true;
    if (!readLines(file, [&lineFn](QString &&line) { lineFn(line); })) {
        result.status = LoadStatus::Unreadable;
        result.error = readError(file);
        return result;
    }
    result.status = LoadStatus::Ok;
    return result;
}

bool scan(const QString &fileName, const std::function<void(const QString &)> &lineFn)
{
    return scanFile(fileName, lineFn).ok();
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
