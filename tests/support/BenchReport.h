// Timing and the one-line verdicts that `make bench` prints.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "common/U16.h"

namespace vc::bench {

template <class F>
double MedianMs(int runs, F&& f) {
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        auto a = std::chrono::steady_clock::now();
        f();
        auto b = std::chrono::steady_clock::now();
        t.push_back(std::chrono::duration<double, std::milli>(b - a).count());
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

// "bench NAME: MEASURED UNIT (target CMP GOAL) PASS|MISS"
inline bool Verdict(const char* name, double measured, const char* unit, const char* cmp, double goal) {
    bool pass = cmp[0] == '>' ? measured >= goal : measured <= goal;
    std::printf("bench %s: %.2f %s (target %s %g) %s\n", name, measured, unit, cmp, goal, pass ? "PASS" : "MISS");
    std::fflush(stdout);
    return pass;
}

// A page's Files text of `count` entries, each a path of exactly 100 units;
// `variant` makes the paths differ from one write to the next.
inline std::u16string HundredUnitEntries(int page, int count, int variant = 0) {
    std::u16string files;
    for (int i = 0; i < count; ++i) {
        std::u16string p = u"C:\\Users\\someone\\Documents\\Projects\\p" + Dec(page) + u"\\v" + Dec(variant) +
                           u"\\file-" + Dec(i) + u".txt";
        p.insert(p.size() - 4, std::u16string(100 - p.size(), u'x'));
        files += p + u"\r\n";
    }
    return files;
}

}  // namespace vc::bench
