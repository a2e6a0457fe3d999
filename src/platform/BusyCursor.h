#pragma once
// The hourglass for the whole application while a long command runs.

class Cursor {
public:
    virtual ~Cursor() = default;
    virtual void pushBusy() = 0;
    virtual void popBusy() = 0;
};

class BusyCursor {
public:
    explicit BusyCursor(Cursor& cursor) : cursor_(cursor) { cursor_.pushBusy(); }
    ~BusyCursor() { cursor_.popBusy(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    Cursor& cursor_;
};
