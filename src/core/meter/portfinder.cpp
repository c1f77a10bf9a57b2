#include "portfinder.h"

#include "platform/clock.h"
#include "platform/portsystem.h"
#include "platform/seriallink.h"

#include <algorithm>

struct PortFinder::Listener {
    QString devicePath;
    std::unique_ptr<SerialLink> link;
    QByteArray bytes;
    qint64 endsAt = 0;
};

PortFinder::PortFinder(PortSystem& system, Clock& clock, QObject* parent)
    : QObject(parent)
    , m_system(system)
    , m_clock(clock)
{
    m_refresh = clock.createTimer(this);
    m_refresh->setInterval(kRefreshMs);
    connect(m_refresh, &Timer::timeout, this, &PortFinder::refresh);
    m_deadline = clock.createTimer(this);
    m_deadline->setSingleShot(true);
    connect(m_deadline, &Timer::timeout, this, &PortFinder::endOverdue);
}

PortFinder::~PortFinder() = default;

void PortFinder::start()
{
    refresh();
    m_refresh->start();
}

void PortFinder::stop()
{
    m_refresh->stop();
    m_deadline->stop();
    m_listeners.clear();
}

int PortFinder::defaultChoice() const
{
    for (int i = 0; i < m_ports.size(); ++i) {
        if (m_ports[i].state == FoundPort::State::Meter)
            return i;
    }
    return -1;
}

bool PortFinder::isListening() const
{
    return !m_listeners.empty();
}

FoundPort* PortFinder::find(const QString& devicePath)
{
    for (FoundPort& port : m_ports) {
        if (port.entry.devicePath == devicePath)
            return &port;
    }
    return nullptr;
}

void PortFinder::refresh()
{
    const QList<PortEntry> present = m_system.ports();
    QList<FoundPort> next;
    QList<int> fresh;
    for (const PortEntry& entry : present) {
        FoundPort port;
        if (const FoundPort* known = find(entry.devicePath)) {
            port = *known;
        } else {
            fresh.append(next.size());
        }
        port.entry = entry;
        next.append(port);
    }
    // A port that went away is no longer listened to.
    const bool wasListening = isListening();
    m_listeners.erase(
        std::remove_if(m_listeners.begin(), m_listeners.end(),
            [&present](const std::unique_ptr<Listener>& l) {
                return std::none_of(present.begin(), present.end(),
                    [&l](const PortEntry& e) { return e.devicePath == l->devicePath; });
            }),
        m_listeners.end());
    bool changedList = next.size() != m_ports.size();
    for (int i = 0; !changedList && i < next.size(); ++i)
        changedList = next[i].entry.devicePath != m_ports[i].entry.devicePath
            || next[i].entry.comNumber != m_ports[i].entry.comNumber;
    m_ports = next;
    for (int i : fresh)
        listen(m_ports[i]);
    if (changedList)
        Q_EMIT changed();
    if (wasListening && !isListening())
        Q_EMIT listeningDone();
}

void PortFinder::listen(FoundPort& port)
{
    auto listener = std::make_unique<Listener>();
    listener->devicePath = port.entry.devicePath;
    listener->link = m_system.link(port.entry.devicePath, m_clock);
    if (!listener->link->open()) {
        port.state = FoundPort::State::Unusable;
        port.problem = listener->link->openProblem();
        return;
    }
    port.state = FoundPort::State::Listening;
    listener->endsAt = m_clock.monotonicMs() + kListenMs;
    Listener* raw = listener.get();
    connect(raw->link.get(), &SerialLink::readyRead, this, [this, raw] { heard(raw); });
    // A port that vanishes while it is listened to is simply not a meter.
    connect(raw->link.get(), &SerialLink::linkLost, this,
        [this, raw] { finish(raw->devicePath, FoundPort::State::NoMeter); });
    m_listeners.push_back(std::move(listener));
    armDeadline();
}

void PortFinder::heard(Listener* listener)
{
    const QByteArray more = listener->link->readAll();
    listener->bytes += more.left(kMostBytesHeard - listener->bytes.size());
    const Heard judged = JudgeHeardBytes(listener->bytes);
    if (judged == Heard::Sure)
        finish(listener->devicePath, FoundPort::State::Meter);
    else if (judged == Heard::NotAMeter || listener->bytes.size() >= kMostBytesHeard)
        finish(listener->devicePath, FoundPort::State::NoMeter);
}

void PortFinder::finish(QString devicePath, FoundPort::State state)
{
    const auto it = std::find_if(m_listeners.begin(), m_listeners.end(),
        [&devicePath](const std::unique_ptr<Listener>& l) { return l->devicePath == devicePath; });
    if (it == m_listeners.end())
        return;
    // The link may be the sender of the signal that brought us here: let it go afterwards.
    (*it)->link->close();
    (*it)->link.release()->deleteLater();
    m_listeners.erase(it);
    if (FoundPort* port = find(devicePath))
        port->state = state;
    armDeadline();
    Q_EMIT changed();
    if (!isListening())
        Q_EMIT listeningDone();
}

void PortFinder::endOverdue()
{
    const qint64 now = m_clock.monotonicMs();
    QList<QPair<QString, FoundPort::State>> overdue;
    for (const auto& l : m_listeners) {
        if (l->endsAt <= now) {
            const Heard judged = JudgeHeardBytes(l->bytes);
            overdue.append({ l->devicePath,
                judged == Heard::Meter || judged == Heard::Sure ? FoundPort::State::Meter
                                                                : FoundPort::State::NoMeter });
        }
    }
    for (const auto& [path, state] : overdue)
        finish(path, state);
    armDeadline();
}

void PortFinder::armDeadline()
{
    m_deadline->stop();
    if (m_listeners.empty())
        return;
    qint64 first = m_listeners.front()->endsAt;
    for (const auto& l : m_listeners)
        first = std::min(first, l->endsAt);
    m_deadline->start(int(std::max<qint64>(0, first - m_clock.monotonicMs())));
}
