#include "base/audio/QuietStderr.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrova {
namespace {

ino_t stderrFile() {
    struct stat status {};
    ::fstat(STDERR_FILENO, &status);
    return status.st_ino;
}

TEST(QuietStderr, HoldsBackWhatLibrariesWriteAndThenLetsStderrThroughAgain) {
    const ino_t before = stderrFile();
    {
        QuietStderr quiet;
        std::fprintf(stderr, "ALSA lib pcm.c:2666:(snd_pcm_open_noupdate) Unknown PCM cards.pcm.rear\n");
        ::write(STDERR_FILENO, "Cannot connect to server socket\n", 32);
        EXPECT_NE(stderrFile(), before);
        EXPECT_EQ(quiet.release(), QByteArray("ALSA lib pcm.c:2666:(snd_pcm_open_noupdate) Unknown PCM "
                                              "cards.pcm.rear\nCannot connect to server socket\n"));
        EXPECT_EQ(stderrFile(), before);
        EXPECT_TRUE(quiet.release().isEmpty());
    }
    EXPECT_EQ(stderrFile(), before);
}

} // namespace
} // namespace kestrova
