#pragma once

#include <QWidget>

class PortFinder;
class QComboBox;
class QLabel;
class QTableWidget;

// The first window: the user picks the port the meter is on. The choice goes into portNumber
// (left as it was when the text is not one of COM1 to COM8); then chosen() is emitted and the
// window closes. Given a finder, the window also lists the serial ports of this computer,
// marks those where a meter is heard, chooses the first of them by itself until the user
// chooses, and binds the lowest free COMn to a listed device that no COMn reaches.
class Port final : public QWidget
{
    Q_OBJECT
public:
    explicit Port(int& portNumber, QWidget* parent = nullptr);
    Port(int& portNumber, PortFinder& finder, QWidget* parent = nullptr);

Q_SIGNALS:
    void chosen(int portNumber);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void confirm();
    void confirmText(const QString& text);
    void choose(int portNumber);
    void showHint();
    void showPorts();
    void takeRow(int row);

    struct Binding {
        int comNumber = 0;
        QString target;
    };

    int& m_portNumber;
    PortFinder* m_finder = nullptr;
    QComboBox* m_ports = nullptr;
    QLabel* m_hint = nullptr;
    QTableWidget* m_list = nullptr;
    QLabel* m_reason = nullptr;
    Binding m_binding;
    bool m_userChose = false;
    bool m_filling = false;
};
