#pragma once

#include <QWidget>

// The start-up window: borderless, 500 x 333, centred and on top, "Loading ..." at the bottom and the version in
// the top right corner.
class TfrmSplash final : public QWidget
{
    Q_OBJECT

public:
    explicit TfrmSplash(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
