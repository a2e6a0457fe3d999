#pragma once
// Multi-line text limited to what a record field stores: 255 characters, each line
// end counting two (CR LF), for typing and pasting alike.
#include <QPlainTextEdit>

#include <string>

class MemoEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit MemoEdit(QWidget* parent = nullptr);

    static constexpr int limit = 255;

    // Stored bytes (Windows-1252, lines joined by CR LF) <-> the memo.
    void setStoredText(const std::string& bytes);
    std::string storedText() const;
    // Length as stored: a line end counts two.
    static int storedLength(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    int room() const;
};
