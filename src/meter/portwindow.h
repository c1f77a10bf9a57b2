#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;

// The first window: the user picks the port the meter is on. The choice goes into portNumber
// (left as it was when the text is not one of COM1 to COM8); then chosen() is emitted and the
// window closes.
class Port final : public QWidget
{
    Q_OBJECT
public:
    explicit Port(int& portNumber, QWidget* parent = nullptr);

Q_SIGNALS:
    void chosen(int portNumber);

private:
    void confirm();
    void choose(int portNumber);
    void showHint();

    int& m_portNumber;
    QComboBox* m_ports = nullptr;
    QLabel* m_hint = nullptr;
};
