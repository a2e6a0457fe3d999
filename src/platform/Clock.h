#pragma once

struct Today {
    int day;
    int month;
    int year;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual Today today() = 0;
};
