#pragma once

#include <QStatusBar>
#include <QString>
#include <QVector>

#include <functional>

// A status bar of fixed-width panels, each plain or drawn by the owner in a
// lowered bevel.  Qt's status bar knows only widgets and one message, so the
// panels are painted here.
class TStatusPanels : public QStatusBar
{
    Q_OBJECT

public:
    struct TPanel {
        int Width = 50;
        bool OwnerDraw = false; // drawn by OnDrawPanel, in a lowered bevel
        QString Text;
    };

    explicit TStatusPanels(QWidget *parent = nullptr);

    int PanelCount() const { return panels_.size(); }
    void AddPanel(int width, bool ownerDraw, const QString &text);
    QString PanelText(int index) const { return panels_.at(index).Text; }
    void SetPanelText(int index, const QString &text);
    // The panel's inner rectangle, where its text goes.
    QRect PanelRect(int index) const;

    std::function<void(class QPainter &, int index, const QRect &rect)> OnDrawPanel;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QVector<TPanel> panels_;
};
