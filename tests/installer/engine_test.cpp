// The engine's rules on their own: the schedule reset, the stream count, the progress bar's fill,
// and one call per history.
#include "core_fixture.h"
#include "installer/choose.h"
#include "installer/directory.h"
#include "installer/engine.h"
#include "runtime/xtim.h"

namespace {

using engine_test = core_test;

TEST_F(engine_test, reset_next_starts_one_stream_and_keeps_the_failure_mark)
{
	next.next_index = 7;
	next.dir_done = 1;
	for (int i = 0; i < 4; ++i) next.stream_active[i] = next.stream_waiting[i] = next.stream_index[i] = 3;
	next.file_down = next.comp_down = next.totl_disk = 9;
	stg.got_failed_install = 1;
	xtim.real_time = 42.5f;
	reset_next();
	EXPECT_EQ(next.next_index, 0);
	for (int i = 0; i < 4; ++i) {
		EXPECT_EQ(next.stream_active[i], i == 0) << i; // this program installs with one stream
		EXPECT_EQ(next.stream_waiting[i], i == 0) << i;
		EXPECT_EQ(next.stream_index[i], 0) << i;
	}
	EXPECT_EQ(next.star_time, 42.5f);
	EXPECT_EQ(next.file_down + next.comp_down + next.totl_disk, 0);
	EXPECT_EQ(stg.got_failed_install, 1);
	EXPECT_EQ(next.dir_done, 1); // the finished screen still reads it
}

TEST(engine_rules, streams_follow_the_rate)
{
	const std::pair<float, int> cases[] = {{0, 2},   {50, 2},   {50.5f, 4}, {100, 4}, {100.5f, 6},
	                                       {150, 6}, {150.5f, 8}, {200, 8},   {201, 9}};
	for (auto [rate, streams] : cases) EXPECT_EQ(streams_for_rate(rate), streams) << rate;
}

TEST(engine_rules, progress_bar_fill)
{
	struct {
		float d1, d, d2, fill;
	} cases[] = {{0, 0, 0, 0.52f}, {5, 9, 5, 0.52f}, {0, 0, 10, 0.04f}, {0, -5, 10, 0.04f},
	             {0, 5, 10, 0.52f}, {0, 10, 10, 1},   {0, 20, 10, 1},   {10, 15, 20, 0.52f}};
	for (auto c : cases) {
		dir_progress_bar(c.d1, c.d, c.d2, 1, "m", "p");
		EXPECT_FLOAT_EQ(dir_progress[1].fill, c.fill) << c.d1 << " " << c.d << " " << c.d2;
	}
}

TEST_F(engine_test, one_call_per_history_then_the_end)
{
	put("here.txt", "here");
	ASSERT_EQ(read_disc(directory_header() + file_line(0, 900, md5_of("here"), "Velmora 9/here.txt") +
	                    file_line(0, 840, md5_of("gone"), "Velmora 9/gone.txt") + file_line(0, 900, "GONE", "Velmora 9/gone.txt") +
	                    file_line(1, 900, md5_of("mac"), "Velmora 9/mac.txt")),
	          3);
	reset_next();
	ASSERT_EQ(choose_files(), 1);
	const int stats[] = {2, 3, 3};
	for (int call = 0; call < 3; ++call) {
		ASSERT_EQ(grab_files(), 0) << call;
		EXPECT_EQ(stg.crnt_file_stat, stats[call]) << call;
		EXPECT_EQ(next.dir_done, 0);
	}
	EXPECT_EQ(crnt_file_name, "mac.txt.zip");
	EXPECT_EQ(crnt_file_path, disc.root + "Velmora 9.00/Velmora 9/mac.txt.zip");
	EXPECT_EQ(grab_files(), 1);
	EXPECT_EQ(next.dir_done, 1);
}

TEST_F(engine_test, an_empty_manifest_is_finished_at_once)
{
	ASSERT_EQ(read_disc(directory_header()), 3);
	reset_next();
	ASSERT_EQ(choose_files(), 1);
	EXPECT_EQ(grab_files(), 1);
	EXPECT_EQ(next.dir_done, 1);
}

} // namespace
