#pragma once
// The program's printer painting into a PDF file instead of a printer, so that a test
// can read back what a page holds and where (each document replaces the file).
#include "platform/PaintPrinter.h"

#include <QPdfWriter>
#include <QString>

#include <memory>

class PdfPrinter : public PaintPrinter {
public:
    explicit PdfPrinter(QString path, int resolution = 1200)
        : path_(std::move(path)), resolution_(resolution) {}
    const QString& path() const { return path_; }
    int documents() const { return documents_; }

protected:
    QPagedPaintDevice& device() override {
        writer_ = std::make_unique<QPdfWriter>(path_);
        writer_->setResolution(resolution_);
        writer_->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                           QMarginsF(5, 5, 5, 5), QPageLayout::Millimeter));
        return *writer_;
    }
    void finished() override {
        writer_.reset();
        ++documents_;
    }

private:
    QString path_;
    int resolution_;
    int documents_ = 0;
    std::unique_ptr<QPdfWriter> writer_;
};
