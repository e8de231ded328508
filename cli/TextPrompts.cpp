#include "cli/TextPrompts.h"

#include "cli/Console.h"

void TextPrompts::furtherText(const QString &further) const
{
    if (!further.isEmpty())
        Console::err(m_prefix + Console::lines(further) + QLatin1Char('\n'));
}

void TextPrompts::message(const QString &text, const QString &further)
{
    Console::out(m_prefix + Console::lines(text) + QLatin1Char('\n'));
    furtherText(further);
}

Prompts::Button TextPrompts::box(const QString &caption, const QString &text, Icon icon, int buttons,
                                 const QString &further)
{
    Q_UNUSED(caption);
    Q_UNUSED(icon);
    if (!(buttons & Yes)) {
        Console::err(m_prefix + Console::lines(text) + QLatin1Char('\n'));
        furtherText(further);
        return Ok;
    }
    // Before the question, so that it is read before the answer.
    furtherText(further);
    const QString question = m_prefix + Console::lines(text) + QStringLiteral(" ?");
    if (m_assumeYes) {
        Console::out(question + QStringLiteral(" yes (--yes)\n"));
        return Yes;
    }
    Console::out(question + QStringLiteral(" [y/N] "));
    const QString answer = Console::readLine().toLower();
    return answer == QLatin1String("y") || answer == QLatin1String("yes") ? Yes : No;
}

void TextPrompts::error(const QString &text, const QString &further)
{
    Console::err(m_prefix + Console::lines(errorDisplayText(text)) + QLatin1Char('\n'));
    furtherText(further);
}
