// SPDX-FileCopyrightText: 2026 Trakvid developers
// SPDX-License-Identifier: MIT
#include "merge.h"

#include "platform.h"
#include "storage.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <unordered_map>

namespace merge {

namespace {

using Lines = std::vector<QByteArrayView>;
using Pair = std::pair<qsizetype, qsizetype>; // a base row and a theirs row

// Beyond this many edits a stretch between two aligned vehicles is left
// unaligned: its lines are then neither deleted nor changed by us, only
// reported, which is safe; an edit script of that size costs too much.
constexpr qsizetype kMaxEdits = 2000;

// Myers' shortest edit script between a[0, n) and b[0, m), as `diff` finds
// it; calls `matched(i, j)` for every pair it keeps, last pair first. False
// when it needs more than `maxEdits` edits (nothing is called then).
template <typename Equal, typename Matched>
bool shortestEditScript(qsizetype n, qsizetype m, Equal &&equal, Matched &&matched, qsizetype maxEdits)
{
    const qsizetype limit = std::min(n + m, maxEdits);
    const qsizetype offset = limit + 1;
    std::vector<qsizetype> v(size_t(2 * offset + 1), 0);
    std::vector<std::vector<qsizetype>> trace; // v over [-d, d] before step d
    for (qsizetype d = 0; d <= limit; ++d) {
        trace.emplace_back(v.begin() + (offset - d), v.begin() + (offset + d + 1));
        for (qsizetype k = -d; k <= d; k += 2) {
            qsizetype x = k == -d || (k != d && v[size_t(offset + k - 1)] < v[size_t(offset + k + 1)])
                              ? v[size_t(offset + k + 1)]
                              : v[size_t(offset + k - 1)] + 1;
            qsizetype y = x - k;
            while (x < n && y < m && equal(x, y))
                ++x, ++y;
            v[size_t(offset + k)] = x;
            if (x < n || y < m)
                continue;
            // Found: walk back through the steps.
            for (qsizetype e = d; e > 0; --e) {
                const std::vector<qsizetype> &before = trace[size_t(e)];
                auto at = [&](qsizetype kk) { return before[size_t(kk + e)]; };
                const qsizetype kk = x - y;
                const qsizetype prevK = kk == -e || (kk != e && at(kk - 1) < at(kk + 1)) ? kk + 1 : kk - 1;
                const qsizetype prevX = at(prevK);
                const qsizetype prevY = prevX - prevK;
                while (x > prevX && y > prevY)
                    matched(--x, --y);
                x = prevX;
                y = prevY;
            }
            while (x > 0 && y > 0)
                matched(--x, --y);
            return true;
        }
    }
    return false;
}

// The longest run of `pairs` (sorted by base row) whose theirs rows grow too.
std::vector<Pair> increasingRun(const std::vector<Pair> &pairs)
{
    if (std::is_sorted(pairs.begin(), pairs.end(), [](const Pair &a, const Pair &b) { return a.second < b.second; }))
        return pairs;
    std::vector<qsizetype> tails;          // index into pairs of the smallest tail of each length
    std::vector<qsizetype> previous(pairs.size(), -1);
    for (size_t i = 0; i < pairs.size(); ++i) {
        const auto at = std::lower_bound(tails.begin(), tails.end(), pairs[i].second,
                                         [&](qsizetype p, qsizetype t) { return pairs[size_t(p)].second < t; });
        if (at != tails.begin())
            previous[i] = *(at - 1);
        if (at == tails.end())
            tails.push_back(qsizetype(i));
        else
            *at = qsizetype(i);
    }
    std::vector<Pair> run(tails.size());
    for (qsizetype p = tails.empty() ? -1 : tails.back(), i = qsizetype(run.size()) - 1; p >= 0; p = previous[size_t(p)], --i)
        run[size_t(i)] = pairs[size_t(p)];
    return run;
}

// The numbers of rows [from, to), each with its row, sorted; only numbers
// that stand once there are kept.
std::vector<Pair> uniqueKeys(const Lines &lines, qsizetype from, qsizetype to, KeyFn key)
{
    std::vector<Pair> keys;
    if (!key)
        return keys;
    for (qsizetype r = from; r < to; ++r)
        if (const std::optional<qint64> k = key(lines[size_t(r)]))
            keys.emplace_back(*k, r);
    // A database in number order gives them sorted already.
    if (!std::is_sorted(keys.begin(), keys.end()))
        std::sort(keys.begin(), keys.end());
    size_t out = 0;
    for (size_t i = 0; i < keys.size();) {
        size_t j = i + 1;
        while (j < keys.size() && keys[j].first == keys[i].first)
            ++j;
        if (j == i + 1)
            keys[out++] = keys[i];
        i = j;
    }
    keys.resize(out);
    return keys;
}

// Where the base rows stand in theirs. Vehicle lines are aligned by their
// numbers first, also where the other program moved them; the lines between
// two vehicles aligned in order (bookmarks, lines without a number, numbers
// that stand twice) by the shortest edit script over their text.
class Alignment
{
public:
    Alignment(const Lines &base, const Lines &theirs, KeyFn key)
        : m_base(base), m_theirs(theirs), m_theirsOf(unpaired(base.size())), m_baseOf(unpaired(theirs.size())),
          m_inOrder(base.size(), false), m_changed(theirs.size(), false)
    {
        const qsizetype nb = qsizetype(base.size());
        const qsizetype nt = qsizetype(theirs.size());
        // Equal lines at both ends are the same lines: most of a big file.
        qsizetype head = 0;
        while (head < nb && head < nt && base[size_t(head)] == theirs[size_t(head)])
            ++head;
        qsizetype tail = 0;
        while (tail < nb - head && tail < nt - head && base[size_t(nb - 1 - tail)] == theirs[size_t(nt - 1 - tail)])
            ++tail;
        for (qsizetype i = 0; i < head; ++i)
            pair(i, i, true);
        for (qsizetype i = 0; i < tail; ++i)
            pair(nb - tail + i, nt - tail + i, true);
        if (!alignInOrder(key, head, nb - tail, nt - tail))
            alignByNumbers(key, head, nb - tail, nt - tail);

        // A line left on both sides whose text stands once among the lines
        // left on each side was moved: a bookmark the other program put
        // elsewhere is still the same bookmark.
        QHash<QByteArrayView, Pair> left; // text: base row, theirs row; -2 where it stands twice
        for (qsizetype r = head; r < nb - tail; ++r)
            if (m_theirsOf[size_t(r)] < 0) {
                auto p = left.find(base[size_t(r)]);
                if (p == left.end())
                    p = left.insert(base[size_t(r)], Pair(-1, -1));
                p->first = p->first == -1 ? r : -2;
            }
        for (qsizetype u = head; u < nt - tail; ++u) {
            if (m_baseOf[size_t(u)] >= 0)
                continue;
            m_ownTexts.insert(theirs[size_t(u)]);
            if (const auto found = left.find(theirs[size_t(u)]); found != left.end())
                found->second = found->second == -1 ? u : -2;
        }
        for (auto p = left.cbegin(); p != left.cend(); ++p)
            if (p->first >= 0 && p->second >= 0) {
                pair(p->first, p->second, false);
                m_ownTexts.remove(p.key());
            }
    }

    // The theirs row of base row r, or -1 when theirs no longer holds it.
    qsizetype theirsOf(qsizetype r) const { return m_theirsOf[size_t(r)]; }
    // Whether a line of this text stands among the lines the other program
    // wrote itself (a base line it moved among them, perhaps).
    bool standsAmongOwn(QByteArrayView line) const { return m_ownTexts.contains(line); }
    // Whether theirs row t is a line of the base (changed or not), and whether
    // it stands there unchanged.
    bool isBaseLine(qsizetype t) const { return m_baseOf[size_t(t)] >= 0; }
    bool isUnchangedBaseLine(qsizetype t) const { return isBaseLine(t) && !m_changed[size_t(t)]; }
    // The theirs rows between the in-order neighbours of base row r: where
    // the other program put whatever took the place of a line it no longer
    // has. Found by looking at the rows beside r: changes are few.
    Pair gapOf(qsizetype r) const
    {
        qsizetype before = r - 1;
        while (before >= 0 && !m_inOrder[size_t(before)])
            --before;
        qsizetype after = r;
        while (after < qsizetype(m_inOrder.size()) && !m_inOrder[size_t(after)])
            ++after;
        const qsizetype from = before < 0 ? 0 : m_theirsOf[size_t(before)] + 1;
        const qsizetype to = after == qsizetype(m_inOrder.size()) ? qsizetype(m_baseOf.size()) : m_theirsOf[size_t(after)];
        return {from, std::max(from, to)};
    }

private:
    void pair(qsizetype b, qsizetype t, bool inOrder)
    {
        pair(b, t, inOrder, m_base[size_t(b)] != m_theirs[size_t(t)]);
    }
    void pair(qsizetype b, qsizetype t, bool inOrder, bool changed)
    {
        m_theirsOf[size_t(b)] = t;
        m_baseOf[size_t(t)] = b;
        m_inOrder[size_t(b)] = inOrder;
        m_changed[size_t(t)] = changed;
    }

    // A file in number order on both sides (a database as Trakvid keeps it):
    // its numbers stand once each, and the vehicles of the same number pair
    // in one walk down both files. False, and nothing paired, otherwise.
    bool alignInOrder(KeyFn key, qsizetype head, qsizetype baseEnd, qsizetype theirsEnd)
    {
        if (!key)
            return false;
        bool inOrder = true;
        // The next vehicle line from `from` on, and its number in `k`, which
        // must be greater than the one before it.
        auto nextVehicle = [key, &inOrder](const Lines &lines, qsizetype from, qsizetype end, qint64 &k) {
            for (; from < end; ++from)
                if (const std::optional<qint64> found = key(lines[size_t(from)])) {
                    inOrder = inOrder && (*found > k || k < 0);
                    k = *found;
                    break;
                }
            return from;
        };
        qint64 kb = -1;
        qint64 kt = -1;
        qsizetype b = nextVehicle(m_base, head, baseEnd, kb);
        qsizetype t = nextVehicle(m_theirs, head, theirsEnd, kt);
        qsizetype segmentB = head;
        qsizetype segmentT = head;
        while (inOrder && b < baseEnd && t < theirsEnd) {
            if (kb < kt) {
                b = nextVehicle(m_base, b + 1, baseEnd, kb);
            } else if (kt < kb) {
                t = nextVehicle(m_theirs, t + 1, theirsEnd, kt);
            } else {
                alignText(rows(segmentB, b, m_theirsOf), rows(segmentT, t, m_baseOf));
                pair(b, t, true);
                segmentB = b + 1;
                segmentT = t + 1;
                // Most of a file stands unchanged after a pair: the same lines
                // pair as they come, each number read once. (The shortest
                // edit script would pair a segment's equal first lines too.)
                while (segmentB < baseEnd && segmentT < theirsEnd
                       && m_base[size_t(segmentB)] == m_theirs[size_t(segmentT)]) {
                    if (const std::optional<qint64> k = key(m_base[size_t(segmentB)])) {
                        if (*k <= kb) {
                            inOrder = false;
                            break;
                        }
                        kb = kt = *k;
                    }
                    pair(segmentB++, segmentT++, true, false);
                }
                b = nextVehicle(m_base, segmentB, baseEnd, kb);
                t = nextVehicle(m_theirs, segmentT, theirsEnd, kt);
            }
        }
        // The rest of either side must be in order too.
        while (inOrder && b < baseEnd)
            b = nextVehicle(m_base, b + 1, baseEnd, kb);
        while (inOrder && t < theirsEnd)
            t = nextVehicle(m_theirs, t + 1, theirsEnd, kt);
        if (!inOrder) {
            for (qsizetype r = head; r < baseEnd; ++r)
                if (const qsizetype u = m_theirsOf[size_t(r)]; u >= 0) {
                    m_baseOf[size_t(u)] = -1;
                    m_changed[size_t(u)] = false;
                    m_theirsOf[size_t(r)] = -1;
                    m_inOrder[size_t(r)] = false;
                }
            return false;
        }
        alignText(rows(segmentB, baseEnd, m_theirsOf), rows(segmentT, theirsEnd, m_baseOf));
        return true;
    }

    // Any other file: numbers that stand once on each side pair their lines;
    // those that keep the order of both files are the anchors.
    void alignByNumbers(KeyFn key, qsizetype head, qsizetype baseEnd, qsizetype theirsEnd)
    {
        const std::vector<Pair> baseKeys = uniqueKeys(m_base, head, baseEnd, key);
        const std::vector<Pair> theirKeys = uniqueKeys(m_theirs, head, theirsEnd, key);
        std::vector<Pair> byNumber;
        for (size_t i = 0, j = 0; i < baseKeys.size() && j < theirKeys.size();) {
            if (baseKeys[i].first < theirKeys[j].first)
                ++i;
            else if (baseKeys[i].first > theirKeys[j].first)
                ++j;
            else
                byNumber.emplace_back(baseKeys[i++].second, theirKeys[j++].second);
        }
        std::sort(byNumber.begin(), byNumber.end());
        for (const Pair &p : byNumber)
            pair(p.first, p.second, false); // moved lines stay paired; the run below is in order
        std::vector<Pair> anchors = increasingRun(byNumber);
        anchors.emplace_back(baseEnd, theirsEnd);
        // Between two anchors, the lines not paired by number by their text.
        qsizetype b = head;
        qsizetype t = head;
        for (const Pair &anchor : anchors) {
            alignText(rows(b, anchor.first, m_theirsOf), rows(t, anchor.second, m_baseOf));
            if (anchor.first < baseEnd)
                m_inOrder[size_t(anchor.first)] = true;
            b = anchor.first + 1;
            t = anchor.second + 1;
        }
    }

    // The rows of [from, end) not paired yet.
    static std::vector<qsizetype> rows(qsizetype from, qsizetype end, const std::vector<qsizetype> &pairedWith)
    {
        std::vector<qsizetype> left;
        for (qsizetype r = from; r < end; ++r)
            if (pairedWith[size_t(r)] < 0)
                left.push_back(r);
        return left;
    }

    void alignText(const std::vector<qsizetype> &bs, const std::vector<qsizetype> &ts)
    {
        if (bs.empty() || ts.empty())
            return;
        const qsizetype n = qsizetype(bs.size());
        const qsizetype m = qsizetype(ts.size());
        auto equal = [&](qsizetype i, qsizetype j) { return m_base[size_t(bs[size_t(i)])] == m_theirs[size_t(ts[size_t(j)])]; };
        qsizetype head = 0;
        while (head < n && head < m && equal(head, head))
            ++head;
        qsizetype tail = 0;
        while (tail < n - head && tail < m - head && equal(n - 1 - tail, m - 1 - tail))
            ++tail;
        for (qsizetype i = 0; i < head; ++i)
            pair(bs[size_t(i)], ts[size_t(i)], true);
        for (qsizetype i = 0; i < tail; ++i)
            pair(bs[size_t(n - 1 - i)], ts[size_t(m - 1 - i)], true);
        shortestEditScript(
            n - head - tail, m - head - tail, [&](qsizetype i, qsizetype j) { return equal(head + i, head + j); },
            [&](qsizetype i, qsizetype j) { pair(bs[size_t(head + i)], ts[size_t(head + j)], true); }, kMaxEdits);
    }

    const Lines &m_base;
    const Lines &m_theirs;
    // -1 for each of `count` rows, in memory mapped at once.
    static std::vector<qsizetype> unpaired(size_t count)
    {
        std::vector<qsizetype> rows;
        platform::reserveMapped(rows, count);
        rows.assign(count, -1);
        return rows;
    }

    std::vector<qsizetype> m_theirsOf;
    std::vector<qsizetype> m_baseOf;
    std::vector<bool> m_inOrder; // base rows paired in the order of both files
    std::vector<bool> m_changed; // theirs rows of the base that the other program changed
    QSet<QByteArrayView> m_ownTexts;
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
    const Alignment aligned(in.base, in.theirs, in.key);
    auto keyOf = [&in](QByteArrayView line) { return in.key ? in.key(line) : std::nullopt; };

    // The numbers of the other program's own lines (added or changed), for
    // adds and deletions of the same number.
    std::unordered_map<qint64, qsizetype> ownKeys;
    for (qsizetype t = 0; t < nt; ++t) {
        if (aligned.isUnchangedBaseLine(t))
            continue;
        ++result.othersKept;
        if (const std::optional<qint64> k = keyOf(in.theirs[size_t(t)]))
            ownKeys.try_emplace(*k, t);
    }

    // Theirs rows this session deletes (-1) or changes (the added line).
    std::unordered_map<qsizetype, qsizetype> replaced;
    std::vector<Insertion> insertions;
    std::vector<std::pair<size_t, qsizetype>> rowsToName; // skipped entry, theirs row
    auto outcome = [&result](QByteArrayView before, QByteArrayView after, std::optional<Reason> skippedFor) {
        result.outcomes.push_back({before.toByteArray(), after.toByteArray(), !skippedFor});
        if (!skippedFor) {
            ++result.applied;
            return;
        }
        const QByteArrayView line = after.isNull() ? before : after;
        result.skipped.push_back({line.toByteArray(), *skippedFor, -1});
    };

    std::vector<std::vector<qsizetype>> pairs;
    pairs.reserve(in.hunks.size());
    for (const Hunk &h : in.hunks)
        pairs.push_back(pairsOf(in, h, keyOf));

    auto deleted = [&replaced](qsizetype t) {
        const auto found = replaced.find(t);
        return found != replaced.end() && found->second < 0;
    };
    // A line the other program added itself at the place of an add, the same
    // as `line` and not yet taken for another add: both sides added it there.
    // The place is `pos` and the lines beside it, or where the line the add
    // stood before (base row `following`) stands in the order of the file.
    std::vector<bool> takenOwn(size_t(nt), false);
    auto addedThereToo = [&](qsizetype pos, qsizetype following, QByteArrayView line) {
        auto take = [&](qsizetype t) {
            if (aligned.isBaseLine(t) || takenOwn[size_t(t)] || in.theirs[size_t(t)] != line)
                return false;
            takenOwn[size_t(t)] = true;
            return true;
        };
        // Lines this session deletes are gone from between.
        auto beside = [&](qsizetype t) { return !aligned.isBaseLine(t) || deleted(t); };
        for (qsizetype t = std::min(pos, nt) - 1; t >= 0 && beside(t); --t)
            if (take(t))
                return true;
        for (qsizetype t = pos; t < nt && beside(t); ++t)
            if (take(t))
                return true;
        const auto [from, to] = following >= 0 && following < qsizetype(in.base.size()) ? aligned.gapOf(following)
                                                                                         : Pair(0, 0);
        for (qsizetype t = from; t < to; ++t)
            if (take(t))
                return true;
        return false;
    };

    // A line the other program added itself among the lines that a hunk of
    // this session replaced, the same as `line` and not yet taken.
    auto ownWithin = [&](const Hunk &h, QByteArrayView line) {
        const qsizetype following = h.baseRow + h.baseCount;
        const qsizetype from = aligned.gapOf(h.baseRow).first;
        const qsizetype to = following < qsizetype(in.base.size()) ? aligned.gapOf(following).second : nt;
        for (qsizetype t = from; t < to; ++t) {
            if (!aligned.isBaseLine(t) && !takenOwn[size_t(t)] && in.theirs[size_t(t)] == line) {
                takenOwn[size_t(t)] = true;
                return true;
            }
        }
        return false;
    };

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
            const QByteArrayView mine = change ? in.added[size_t(changedBy[size_t(k)])] : QByteArrayView();
            const qsizetype t = aligned.theirsOf(r);
            if (t >= 0) {
                const QByteArrayView now = in.theirs[size_t(t)];
                if (now == was) {
                    // A bookmark changed to a line the other program put
                    // beside it: that line stands once.
                    const bool there = change && !keyOf(mine) && ownWithin(h, mine);
                    replaced[t] = change && !there ? changedBy[size_t(k)] : -1;
                    outcome(was, mine, std::nullopt);
                } else {
                    // A vehicle the other program changed: its line stays.
                    outcome(was, mine, change && now == mine ? std::nullopt : std::optional(Reason::ChangedByOther));
                }
                continue;
            }
            // Theirs no longer holds the line: changed or deleted there.
            const std::optional<qint64> key = keyOf(was);
            const auto [from, to] = aligned.gapOf(r);
            bool same = false;
            for (qsizetype u = from; u < to && change && !same; ++u)
                same = !aligned.isBaseLine(u) && in.theirs[size_t(u)] == mine;
            bool changedThere = false;
            if (key && ownKeys.count(*key))
                changedThere = true; // its number stands there, on a line the other program wrote
            for (qsizetype u = from; u < to && !key && !changedThere; ++u)
                changedThere = !aligned.isBaseLine(u);
            // Moved where it cannot be told from its copies: not deleted there.
            changedThere = changedThere || (!key && aligned.standsAmongOwn(was));
            if (same || (!change && !changedThere))
                outcome(was, mine, std::nullopt); // both sides made the same change
            else
                outcome(was, mine, changedThere ? Reason::ChangedByOther : Reason::Gone);
        }
    }

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
            if (*k <= key || aligned.isUnchangedBaseLine(t))
                break;
            pos = t;
        }
        return pos;
    };
    for (size_t hi = 0; hi < in.hunks.size(); ++hi) {
        const Hunk &h = in.hunks[hi];
        const std::vector<qsizetype> &pairOf = pairs[hi];
        const qsizetype following = h.baseRow + h.baseCount;
        const qsizetype lastAnchor = following == qsizetype(in.base.size()) ? nt : aligned.theirsOf(following);
        // The line an add stood before: the next changed line of the hunk
        // that theirs still holds, else the line after the hunk.
        std::vector<qsizetype> anchor(size_t(h.addedCount), lastAnchor);
        for (qsizetype a = h.addedCount - 2; a >= 0; --a) {
            const qsizetype next = pairOf[size_t(a + 1)];
            const qsizetype t = next >= 0 ? aligned.theirsOf(h.baseRow + next) : -1;
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
                    outcome({}, line, std::nullopt); // both added it
                } else {
                    outcome({}, line, Reason::NumberTaken);
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
            const QByteArrayView line = in.added[size_t(h.addedFirst + a)];
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
                    const qsizetype before = h.baseRow > 0 ? aligned.theirsOf(h.baseRow - 1) : -1;
                    p = h.baseRow == 0 ? 0 : before >= 0 ? before + 1 : nt;
                }
                if (addedThereToo(p, following, line)) {
                    outcome({}, line, std::nullopt);
                    continue;
                }
            }
            insertions.push_back({p, h.addedFirst + a});
            outcome({}, line, std::nullopt);
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
