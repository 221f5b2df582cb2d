// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#include "merge.h"

#include "storage.h"

#include <QHash>

#include <algorithm>
#include <unordered_map>

namespace merge {

namespace {

using Lines = std::vector<QByteArrayView>;

// After a difference at a[i] / b[j]: the nearest offsets (x, y) with
// a[i + x] == b[j + y], the smallest x + y first, searched in growing
// windows; nullopt when the rest of the two holds no equal pair. Changes of
// a line or a few are found in the first window.
std::optional<std::pair<qsizetype, qsizetype>> resync(const Lines &a, qsizetype i, const Lines &b, qsizetype j)
{
    const qsizetype na = qsizetype(a.size()) - i;
    const qsizetype nb = qsizetype(b.size()) - j;
    for (qsizetype w = 16;; w *= 4) {
        const qsizetype wa = std::min(w, na);
        const qsizetype wb = std::min(w, nb);
        if (w <= 64) {
            for (qsizetype s = 1; s <= wa + wb - 2; ++s)
                for (qsizetype x = std::max<qsizetype>(0, s - (wb - 1)); x <= std::min(s, wa - 1); ++x)
                    if (a[size_t(i + x)] == b[size_t(j + s - x)])
                        return std::pair{x, s - x};
        } else {
            QHash<QByteArrayView, qsizetype> first;
            first.reserve(wb);
            for (qsizetype y = wb - 1; y >= 0; --y)
                first.insert(b[size_t(j + y)], y);
            std::optional<std::pair<qsizetype, qsizetype>> best;
            for (qsizetype x = 0; x < wa && (!best || x < best->first + best->second); ++x) {
                const auto found = first.constFind(a[size_t(i + x)]);
                if (found != first.cend() && (!best || x + *found < best->first + best->second))
                    best = std::pair{x, *found};
            }
            if (best)
                return best;
        }
        if (wa == na && wb == nb)
            return std::nullopt;
    }
}

} // namespace

std::vector<Match> match(const Lines &base, const Lines &theirs)
{
    std::vector<Match> runs;
    const qsizetype na = qsizetype(base.size());
    const qsizetype nb = qsizetype(theirs.size());
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < na && j < nb) {
        if (base[size_t(i)] == theirs[size_t(j)]) {
            qsizetype k = 1;
            while (i + k < na && j + k < nb && base[size_t(i + k)] == theirs[size_t(j + k)])
                ++k;
            runs.push_back({i, j, k});
            i += k;
            j += k;
            continue;
        }
        const auto next = resync(base, i, theirs, j);
        if (!next)
            break;
        i += next->first;
        j += next->second;
    }
    return runs;
}

namespace {

// Where the base rows stand in theirs.
class Matches
{
public:
    Matches(std::vector<Match> runs, qsizetype theirsSize) : m_runs(std::move(runs)), m_theirsSize(theirsSize) {}

    // The theirs row of base row r, or -1 when theirs no longer holds it.
    qsizetype theirsOf(qsizetype r) const
    {
        const auto after = runAfter(r);
        if (after == m_runs.begin())
            return -1;
        const Match &m = *(after - 1);
        return r < m.baseFirst + m.count ? m.theirsFirst + r - m.baseFirst : -1;
    }
    // The rows theirs holds where an unmatched base row r stood: [first, second).
    std::pair<qsizetype, qsizetype> gapOf(qsizetype r) const
    {
        const auto after = runAfter(r);
        const qsizetype from = after == m_runs.begin() ? 0 : (after - 1)->theirsFirst + (after - 1)->count;
        const qsizetype to = after == m_runs.end() ? m_theirsSize : after->theirsFirst;
        return {from, to};
    }
    bool isBaseLine(qsizetype t) const
    {
        const auto after = std::upper_bound(m_runs.begin(), m_runs.end(), t,
                                            [](qsizetype row, const Match &m) { return row < m.theirsFirst; });
        return after != m_runs.begin() && t < (after - 1)->theirsFirst + (after - 1)->count;
    }
    // Calls fn(t) for every row the other program wrote.
    template <typename Fn>
    void forEachOwn(Fn &&fn) const
    {
        qsizetype t = 0;
        for (const Match &m : m_runs) {
            for (; t < m.theirsFirst; ++t)
                fn(t);
            t = m.theirsFirst + m.count;
        }
        for (; t < m_theirsSize; ++t)
            fn(t);
    }

private:
    std::vector<Match>::const_iterator runAfter(qsizetype r) const
    {
        return std::upper_bound(m_runs.begin(), m_runs.end(), r,
                                [](qsizetype row, const Match &m) { return row < m.baseFirst; });
    }

    std::vector<Match> m_runs;
    qsizetype m_theirsSize;
};

// Which removed line of a hunk each added line changes: a vehicle line the
// one of its number, a bookmark the next removed bookmark. -1: a new line.
template <typename KeyOf>
std::vector<qsizetype> pairsOf(const Input &in, const Hunk &h, KeyOf &&keyOf)
{
    std::vector<qsizetype> pairOf(size_t(h.addedCount), -1);
    std::vector<bool> taken(size_t(h.baseCount), false);
    qsizetype nextBookmark = 0;
    for (qsizetype a = 0; a < h.addedCount; ++a) {
        const std::optional<qint64> key = keyOf(in.added[size_t(h.addedFirst + a)]);
        for (qsizetype k = key ? 0 : nextBookmark; k < h.baseCount; ++k) {
            if (taken[size_t(k)] || keyOf(in.base[size_t(h.baseRow + k)]) != key)
                continue;
            taken[size_t(k)] = true;
            pairOf[size_t(a)] = k;
            if (!key)
                nextBookmark = k + 1;
            break;
        }
    }
    return pairOf;
}

struct Insertion {
    qsizetype pos;   // before this theirs row (its size: at the end)
    qsizetype added; // index in Input::added; also the order of lines at one place
};

} // namespace

Result merge(const Input &in)
{
    Result result;
    const qsizetype nt = qsizetype(in.theirs.size());
    const Matches matches(match(in.base, in.theirs), nt);
    auto keyOf = [&in](QByteArrayView line) { return in.key ? in.key(line) : std::nullopt; };

    // The numbers of the other program's lines, for adds of the same number.
    std::unordered_map<qint64, qsizetype> ownKeys;
    matches.forEachOwn([&](qsizetype t) {
        ++result.othersKept;
        if (const std::optional<qint64> k = keyOf(in.theirs[size_t(t)]))
            ownKeys.try_emplace(*k, t);
    });

    // Theirs rows this session deletes (-1) or changes (the added line).
    std::unordered_map<qsizetype, qsizetype> replaced;
    std::vector<Insertion> insertions;
    std::vector<std::pair<size_t, qsizetype>> rowsToName; // skipped entry, theirs row
    auto skip = [&result](QByteArrayView line, Reason reason) {
        result.skipped.push_back({QByteArray(line.data(), line.size()), reason, -1});
    };

    std::vector<std::vector<qsizetype>> pairs;
    pairs.reserve(in.hunks.size());
    for (const Hunk &h : in.hunks)
        pairs.push_back(pairsOf(in, h, keyOf));

    // Deletions and changes first: placing the adds then knows what goes.
    for (size_t hi = 0; hi < in.hunks.size(); ++hi) {
        const Hunk &h = in.hunks[hi];
        std::vector<qsizetype> changedBy(size_t(h.baseCount), -1);
        for (qsizetype a = 0; a < h.addedCount; ++a)
            if (pairs[hi][size_t(a)] >= 0)
                changedBy[size_t(pairs[hi][size_t(a)])] = h.addedFirst + a;
        for (qsizetype k = 0; k < h.baseCount; ++k) {
            const qsizetype r = h.baseRow + k;
            const bool change = changedBy[size_t(k)] >= 0;
            const QByteArrayView was = in.base[size_t(r)];
            const QByteArrayView mine = change ? in.added[size_t(changedBy[size_t(k)])] : was;
            const qsizetype t = matches.theirsOf(r);
            if (t >= 0) {
                replaced[t] = change ? changedBy[size_t(k)] : -1;
                ++result.applied;
                continue;
            }
            // Theirs no longer holds the line: changed or deleted there.
            const auto [from, to] = matches.gapOf(r);
            const std::optional<qint64> key = keyOf(was);
            bool same = false;
            bool changedThere = !key && to > from;
            for (qsizetype u = from; u < to && !same; ++u) {
                same = change && in.theirs[size_t(u)] == mine;
                changedThere = changedThere || (key && keyOf(in.theirs[size_t(u)]) == key);
            }
            if (same || (!change && !changedThere)) {
                ++result.applied; // both sides made the same change
                continue;
            }
            skip(mine, changedThere ? Reason::ChangedByOther : Reason::Gone);
        }
    }

    auto deleted = [&replaced](qsizetype t) {
        const auto found = replaced.find(t);
        return found != replaced.end() && found->second < 0;
    };
    // Where an add of `key` goes when the line it stood before is gone: right
    // after the last line of a smaller number, so that bookmarks before the
    // next greater number stay with it; with no smaller one, in front of the
    // first greater one, else at the end.
    auto placeByKey = [&](qint64 key) {
        qsizetype greater = -1;
        for (qsizetype t = nt - 1; t >= 0; --t) {
            const std::optional<qint64> k = keyOf(in.theirs[size_t(t)]);
            if (!k || deleted(t))
                continue;
            if (*k < key)
                return t + 1;
            if (*k > key)
                greater = t;
        }
        return greater >= 0 ? greater : nt;
    };
    // In front of `anchor`, but before the other program's lines of greater
    // numbers that stand just before it, so that the numbers stay in order.
    auto placeBefore = [&](qsizetype anchor, qint64 key) {
        qsizetype pos = anchor;
        for (qsizetype t = anchor - 1; t >= 0; --t) {
            if (deleted(t))
                continue;
            const std::optional<qint64> k = keyOf(in.theirs[size_t(t)]);
            if (!k)
                continue;
            if (*k <= key || matches.isBaseLine(t))
                break;
            pos = t;
        }
        return pos;
    };

    for (size_t hi = 0; hi < in.hunks.size(); ++hi) {
        const Hunk &h = in.hunks[hi];
        const std::vector<qsizetype> &pairOf = pairs[hi];
        const qsizetype following = h.baseRow + h.baseCount;
        const qsizetype lastAnchor = following == qsizetype(in.base.size()) ? nt : matches.theirsOf(following);
        // The line an add stood before: the next changed line of the hunk
        // that theirs still holds, else the line after the hunk.
        std::vector<qsizetype> anchor(size_t(h.addedCount), lastAnchor);
        for (qsizetype a = h.addedCount - 2; a >= 0; --a) {
            const qsizetype next = pairOf[size_t(a + 1)];
            const qsizetype t = next >= 0 ? matches.theirsOf(h.baseRow + next) : -1;
            anchor[size_t(a)] = t >= 0 ? t : anchor[size_t(a + 1)];
        }
        // Places of the adds with a number; the others stay with their neighbours.
        std::vector<qsizetype> pos(size_t(h.addedCount), -2);
        for (qsizetype a = 0; a < h.addedCount; ++a) {
            if (pairOf[size_t(a)] >= 0)
                continue;
            const QByteArrayView line = in.added[size_t(h.addedFirst + a)];
            const std::optional<qint64> key = keyOf(line);
            if (!key) {
                pos[size_t(a)] = -1;
                continue;
            }
            if (const auto own = ownKeys.find(*key); own != ownKeys.end()) {
                if (in.theirs[size_t(own->second)] == line) {
                    ++result.applied;
                } else {
                    skip(line, Reason::NumberTaken);
                    rowsToName.emplace_back(result.skipped.size() - 1, own->second);
                }
                continue;
            }
            pos[size_t(a)] = anchor[size_t(a)] >= 0 ? placeBefore(anchor[size_t(a)], *key) : placeByKey(*key);
        }
        for (qsizetype a = 0; a < h.addedCount; ++a) {
            qsizetype &p = pos[size_t(a)];
            if (p == -2)
                continue;
            if (p == -1) {
                // A bookmark goes with the next vehicle added beside it, else
                // before the line it stood before, else after the one before.
                for (qsizetype n = a + 1; n < h.addedCount && p < 0 && pairOf[size_t(n)] < 0; ++n)
                    if (pos[size_t(n)] >= 0)
                        p = pos[size_t(n)];
                if (p < 0)
                    p = anchor[size_t(a)];
                for (qsizetype n = a - 1; n >= 0 && p < 0; --n)
                    if (pos[size_t(n)] >= 0)
                        p = pos[size_t(n)];
                if (p < 0) {
                    const qsizetype before = h.baseRow > 0 ? matches.theirsOf(h.baseRow - 1) : -1;
                    p = h.baseRow == 0 ? 0 : before >= 0 ? before + 1 : nt;
                }
            }
            insertions.push_back({p, h.addedFirst + a});
            ++result.applied;
        }
    }

    // The result: theirs with the deletions, changes and adds in place.
    std::sort(insertions.begin(), insertions.end(),
              [](const Insertion &a, const Insertion &b) { return a.pos != b.pos ? a.pos < b.pos : a.added < b.added; });
    std::vector<qsizetype> cuts;
    cuts.reserve(insertions.size() + replaced.size() + rowsToName.size() + 1);
    for (const Insertion &i : insertions)
        cuts.push_back(i.pos);
    for (const auto &[t, unused] : replaced)
        cuts.push_back(t);
    for (const auto &[unused, t] : rowsToName)
        cuts.push_back(t);
    cuts.push_back(nt);
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());

    auto put = [&result](bool mine, qsizetype first, qsizetype count) {
        if (count <= 0)
            return;
        if (!result.pieces.empty() && result.pieces.back().mine == mine
            && result.pieces.back().first + result.pieces.back().count == first)
            result.pieces.back().count += count;
        else
            result.pieces.push_back({mine, first, count});
        result.size += count;
    };
    std::unordered_map<qsizetype, qsizetype> resultRow;
    qsizetype cur = 0;
    size_t next = 0;
    for (const qsizetype c : cuts) {
        put(false, cur, c - cur);
        for (; next < insertions.size() && insertions[next].pos == c; ++next)
            put(true, insertions[next].added, 1);
        if (c == nt)
            break;
        resultRow[c] = result.size;
        if (const auto r = replaced.find(c); r == replaced.end())
            put(false, c, 1);
        else if (r->second >= 0)
            put(true, r->second, 1);
        cur = c + 1;
    }
    for (const auto &[entry, t] : rowsToName)
        result.skipped[entry].fileRow = resultRow[t];
    return result;
}

QStringList report(const Result &result)
{
    QStringList lines;
    lines << QStringLiteral("Použito změn: %1, nepoužito: %2, řádků jiného programu zachováno: %3")
                 .arg(result.applied)
                 .arg(result.skipped.size())
                 .arg(result.othersKept);
    for (const Skipped &s : result.skipped) {
        QString reason;
        switch (s.reason) {
        case Reason::Gone:
            reason = QStringLiteral("řádek už v souboru není");
            break;
        case Reason::ChangedByOther:
            reason = QStringLiteral("řádek jiný program změnil");
            break;
        case Reason::NumberTaken:
            reason = QStringLiteral("číslo už v souboru je na řádku %1").arg(s.fileRow + 1);
            break;
        }
        lines << QStringLiteral("nepoužito: %1 – %2").arg(storage::fromWindows1250(s.line), reason);
    }
    return lines;
}

} // namespace merge
