// SPDX-License-Identifier: MIT
// The compatibility layer's handles used from many threads at once: each
// thread's own handles, created, set, drawn and deleted, draw as they would
// alone, and a handle that one thread keeps changing draws, on the others,
// in one of its settings, never a mixture.  The sanitizer build with
// ThreadSanitizer runs this too.
#define SOFTGLU_COMPAT
#include "stream.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

void drawOwn() {
    GLUquadricObj *q = gluNewQuadric();
    gluQuadricDrawStyle(q, GLU_SILHOUETTE);
    gluQuadricOrientation(q, GLU_INSIDE);
    gluQuadricTexture(q, GL_TRUE);
    gluCylinder(q, 1.0, 0.25, 2.0, 12, 3);
    gluPartialDisk(q, 0.25, 1.0, 10, 3, 15.0, 200.0);
    gluDeleteQuadric(q);
}

}  // namespace

TEST(QuadricThreads, HandlesUsedFromEightThreadsDrawAsTheyWouldAlone) {
    const int kThreads = 8, kRounds = 200;
    GLUquadricObj *shared = gluNewQuadric();
    const Stream own = record(drawOwn);
    const Stream filled = record([&] { gluSphere(shared, 1.0f, 8, 4); });
    gluQuadricDrawStyle(shared, GLU_LINE);
    const Stream lines = record([&] { gluSphere(shared, 1.0f, 8, 4); });

    std::atomic<int> waiting{kThreads};
    std::vector<std::string> wrong(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            waiting.fetch_sub(1);
            while (waiting.load() > 0)
                std::this_thread::yield();
            for (int round = 0; round < kRounds && wrong[t].empty(); ++round) {
                if (t == 0) {  // keeps changing the shared handle
                    gluQuadricDrawStyle(shared, round % 2 ? GLU_FILL : GLU_LINE);
                    continue;
                }
                if (!sameStream(record(drawOwn), own))
                    wrong[t] = "its own handle, round " + std::to_string(round);
                const Stream s = record([&] { gluSphere(shared, 1.0f, 8, 4); });
                if (!sameStream(s, filled) && !sameStream(s, lines))
                    wrong[t] = "the shared handle, round " + std::to_string(round);
            }
        });
    for (std::thread &th : threads)
        th.join();
    for (int t = 0; t < kThreads; ++t)
        EXPECT_EQ(wrong[t], "") << "thread " << t;
    gluDeleteQuadric(shared);
}
