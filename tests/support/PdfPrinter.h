#pragma once
// The program's printer with a PDF file for its printer, so that a test can read back
// what a page holds and where (each document replaces the file). Jobs are set up as
// for a real printer; this one starts in grey, like a queue whose default is
// monochrome, so a job that does not ask for colour prints its red lines grey.
#include "platform/PaintPrinter.h"

#include <QPrinter>
#include <QString>

#include <memory>

class PdfPrinter : public QtPrinter {
public:
    explicit PdfPrinter(QString path) : path_(std::move(path)) {}
    const QString& path() const { return path_; }
    int documents() const { return documents_; }

protected:
    std::unique_ptr<QPrinter> systemPrinter() override {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(path_);
        printer->setColorMode(QPrinter::GrayScale);
        return printer;
    }
    void finished() override { ++documents_; }

private:
    QString path_;
    int documents_ = 0;
};
