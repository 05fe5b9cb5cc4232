// The program's allocation operators.
#include <gtest/gtest.h>

#include <cstdint>
#include <new>

static int handler_calls;

static void give_up_on_third_call()
{
	if (++handler_calls == 3) std::set_new_handler(nullptr);
}

TEST(memory_operators, failed_allocation_retries_through_the_handler_until_it_gives_up)
{
	handler_calls = 0;
	std::set_new_handler(give_up_on_third_call);
	volatile size_t impossible = SIZE_MAX / 2;
	EXPECT_THROW(::operator delete(::operator new(impossible)), std::bad_alloc);
	EXPECT_EQ(handler_calls, 3);
	handler_calls = 0;
	std::set_new_handler(give_up_on_third_call);
	EXPECT_THROW(::operator delete[](::operator new[](impossible)), std::bad_alloc);
	EXPECT_EQ(handler_calls, 3);
}

TEST(memory_operators, empty_requests_give_distinct_blocks)
{
	void* a = ::operator new(0);
	void* b = ::operator new[](0);
	EXPECT_NE(a, nullptr);
	EXPECT_NE(b, nullptr);
	EXPECT_NE(a, b);
	::operator delete(a);
	::operator delete[](b);
	::operator delete(nullptr);
	::operator delete[](nullptr);
}
