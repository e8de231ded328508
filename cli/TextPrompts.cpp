#include "cli/TextPrompts.h"

#include "cli/Console.h"

void TextPrompts::message(const QString &text)
{
    Console::out(m_prefix + Console::lines(text) + QLatin1Char('\n'));
}

Prompts::Button TextPrompts::box(const QString &caption, const QString &text, Icon icon, int buttons)
{
    Q_UNUSED(caption);
    Q_UNUSED(icon);
    if (!(buttons & Yes)) {
        Console::err(m_prefix + Console::lines(text) + QLatin1Char('\n'));
        return Ok;
    }
    const QString question = m_prefix + Console::lines(text) + QStringLiteral(" ?");
    if (m_assumeYes) {
        Console::out(question + QStringLiteral(" yes (--yes)\n"));
        return Yes;
    }
    Console::out(question + QStringLiteral(" [y/N] "));
    const QString answer = Console::readLine().toLower();
    return answer == QLatin1String("y") || answer == QLatin1String("yes") ? Yes : No;
}

void TextPrompts::error(const QString &text)
{
    Console::err(m_prefix + Console::lines(errorDisplayText(text)) + QLatin1Char('\n'));
}
