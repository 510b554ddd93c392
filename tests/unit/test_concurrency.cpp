// SPDX-License-Identifier: MIT
// Many threads drawing at once, each into its own recorder (as each would
// into its own current GL context), get exactly the single-threaded stream:
// the library keeps no state between or across calls.  The sanitizer build
// with ThreadSanitizer runs this too.
#include "stream.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

// Every exported function once, with counts that give each a few strips.
void drawEverything() {
    GLUquadricObj *q = gluNewQuadric();
    gluQuadricDrawStyle(q, GLU_FILL);
    gluPerspective(60.0, 4.0 / 3.0, 0.5, 100.0);
    gluCylinder(q, 1.0, 0.25, 2.0, 12, 3);
    gluDisk(q, 0.25, 1.0, 10, 3);
    gluSphere(q, 1.5f, 9, 6);
    drawTorus(0.25f, 6, 1.0f, 10);
}

}  // namespace

TEST(Concurrency, EightThreadsDrawingAtOnceEachGetTheSingleThreadedStream) {
    const int kThreads = 8;
    const int kRounds = 200;
    const Stream reference = record(drawEverything);
    ASSERT_GT(reference.size(), 1000u);

    std::atomic<int> waiting{kThreads};
    std::vector<std::string> firstDifference(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            // Start together, so the rounds of all threads overlap.
            waiting.fetch_sub(1);
            while (waiting.load() > 0)
                std::this_thread::yield();
            for (int round = 0; round < kRounds && firstDifference[t].empty(); ++round) {
                const ::testing::AssertionResult same = sameStream(record(drawEverything), reference);
                if (!same)
                    firstDifference[t] = "round " + std::to_string(round) + ": " + same.message();
            }
        });
    }
    for (std::thread &th : threads)
        th.join();
    for (int t = 0; t < kThreads; ++t)
        EXPECT_EQ(firstDifference[t], "") << "thread " << t;
}
