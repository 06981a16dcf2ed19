#pragma once
// Where long work reports what it does: status text and a percentage.
#include <string>

struct ProgressSink {
    virtual ~ProgressSink() = default;
    virtual void status(const std::string& text) = 0;
    virtual void percent(int value) = 0;  // 0..100
};

struct NullProgress final : ProgressSink {
    void status(const std::string&) override {}
    void percent(int) override {}
};
