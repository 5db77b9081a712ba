// Standard output captured around one library call (the printing sink writes there).
#ifndef VUZOVAREDERO_TEST_CAPTURE_H
#define VUZOVAREDERO_TEST_CAPTURE_H

#include <gtest/gtest.h>

#include <string>
#include <utility>

template <typename Call>
std::pair<int, std::string> printedBy(Call&& call)
{
    testing::internal::CaptureStdout();
    int status = call();
    return {status, testing::internal::GetCapturedStdout()};
}

inline int occurrences(const std::string& text, const std::string& part)
{
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        count++;
    return count;
}

#endif
