#include "vcl/FormDescription.h"

#include "vcl/SysUtils.h"

#include <limits>

TFormValue TFormValue::Integer(std::int64_t value)
{
    TFormValue v(Kind::Integer);
    v.integer_ = value;
    return v;
}

TFormValue TFormValue::String(AnsiString text)
{
    TFormValue v(Kind::String);
    v.text_ = std::move(text);
    return v;
}

TFormValue TFormValue::Identifier(AnsiString name)
{
    TFormValue v(Kind::Identifier);
    v.text_ = std::move(name);
    return v;
}

TFormValue TFormValue::Set(std::vector<AnsiString> names)
{
    TFormValue v(Kind::Set);
    v.names_ = std::move(names);
    return v;
}

int TFormValue::AsInteger() const
{
    if (kind_ != Kind::Integer)
        throw Exception("an integer was expected");
    if (integer_ < std::numeric_limits<int>::min() || integer_ > std::numeric_limits<int>::max())
        throw Exception("the integer is out of range");
    return static_cast<int>(integer_);
}

const AnsiString& TFormValue::AsString() const
{
    if (kind_ != Kind::String)
        throw Exception("a quoted string was expected");
    return text_;
}

const AnsiString& TFormValue::AsIdentifier() const
{
    if (kind_ != Kind::Identifier)
        throw Exception("a name was expected");
    return text_;
}

bool TFormValue::AsBoolean() const
{
    if (kind_ == Kind::Identifier && text_ == "True")
        return true;
    if (kind_ == Kind::Identifier && text_ == "False")
        return false;
    throw Exception("True or False was expected");
}

const std::vector<AnsiString>& TFormValue::AsSet() const
{
    if (kind_ != Kind::Set)
        throw Exception("a set in brackets was expected");
    return names_;
}

namespace {

bool isNameStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isNamePart(char c) { return isNameStart(c) || isDigit(c); }
bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

struct Token {
    enum class Kind { Name, Integer, String, Symbol, End };
    Kind kind = Kind::End;
    AnsiString text;  // the name, the string's contents, or the symbol
    std::int64_t integer = 0;
    int line = 1;
};

// Splits the text into tokens; every read is checked against the end.
class Lexer {
public:
    explicit Lexer(std::string_view text) : text_(text) {}

    Token next()
    {
        skipSpace();
        Token token;
        token.line = line_;
        if (pos_ == text_.size())
            return token;
        const char c = text_[pos_];
        if (isNameStart(c))
            return name(token);
        if (isDigit(c) || c == '-')
            return integer(token);
        if (c == '\'')
            return string(token);
        if (c == ':' || c == '=' || c == '[' || c == ']' || c == ',') {
            token.kind = Token::Kind::Symbol;
            token.text = AnsiString(1, c);
            ++pos_;
            return token;
        }
        fail("unexpected character '" + AnsiString(1, c) + "'");
    }

    [[noreturn]] void fail(const AnsiString& what) const
    {
        throw Exception("form description, line " + std::to_string(line_) + ": " + what);
    }

private:
    void skipSpace()
    {
        while (pos_ < text_.size() && isSpace(text_[pos_])) {
            if (text_[pos_] == '\n')
                ++line_;
            ++pos_;
        }
    }

    // Names may be dotted, for the properties of a property: Font.Height.
    Token name(Token& token)
    {
        const std::size_t start = pos_;
        while (pos_ < text_.size() && (isNamePart(text_[pos_]) || text_[pos_] == '.'))
            ++pos_;
        token.kind = Token::Kind::Name;
        token.text = AnsiString(text_.substr(start, pos_ - start));
        if (token.text.back() == '.' || token.text.find("..") != AnsiString::npos)
            fail("malformed name '" + token.text + "'");
        return token;
    }

    Token integer(Token& token)
    {
        const bool negative = text_[pos_] == '-';
        if (negative)
            ++pos_;
        if (pos_ == text_.size() || !isDigit(text_[pos_]))
            fail("a digit was expected after '-'");
        std::int64_t value = 0;
        constexpr std::int64_t kLimit = std::numeric_limits<std::int32_t>::max();
        while (pos_ < text_.size() && isDigit(text_[pos_])) {
            value = value * 10 + (text_[pos_] - '0');
            if (value > kLimit + 1)
                fail("the integer is too large");
            ++pos_;
        }
        token.kind = Token::Kind::Integer;
        token.integer = negative ? -value : value;
        return token;
    }

    Token string(Token& token)
    {
        ++pos_;  // the opening quote
        AnsiString text;
        for (;;) {
            if (pos_ == text_.size() || text_[pos_] == '\n')
                fail("the string is not closed on its line");
            const char c = text_[pos_++];
            if (c != '\'') {
                text += c;
            } else if (pos_ < text_.size() && text_[pos_] == '\'') {
                text += '\'';
                ++pos_;
            } else {
                break;
            }
        }
        token.kind = Token::Kind::String;
        token.text = std::move(text);
        return token;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

class Parser {
public:
    explicit Parser(std::string_view text) : lexer_(text) { advance(); }

    TFormObject description()
    {
        TFormObject root = object();
        if (current_.kind != Token::Kind::End)
            lexer_.fail("text after the final 'end'");
        return root;
    }

private:
    void advance() { current_ = lexer_.next(); }

    bool atName(const char* name) const { return current_.kind == Token::Kind::Name && current_.text == name; }
    bool atSymbol(const char* symbol) const
    {
        return current_.kind == Token::Kind::Symbol && current_.text == symbol;
    }

    AnsiString expectName(const char* what)
    {
        if (current_.kind != Token::Kind::Name || current_.text.find('.') != AnsiString::npos)
            lexer_.fail(AnsiString(what) + " was expected");
        AnsiString name = current_.text;
        advance();
        return name;
    }

    void expectSymbol(const char* symbol)
    {
        if (!atSymbol(symbol))
            lexer_.fail(AnsiString(symbol).insert(0, 1, '\'') + "' was expected");
        advance();
    }

    TFormObject object()
    {
        if (!atName("object"))
            lexer_.fail("'object' was expected");
        TFormObject result;
        result.Line = current_.line;
        advance();
        result.Name = expectName("a component name");
        expectSymbol(":");
        result.ClassName = expectName("a class name");
        while (!atName("end")) {
            if (current_.kind == Token::Kind::End)
                lexer_.fail("'end' is missing");
            if (atName("object"))
                result.Children.push_back(object());
            else
                result.Properties.push_back(assignment());
        }
        advance();
        return result;
    }

    TFormObject::Assignment assignment()
    {
        if (current_.kind != Token::Kind::Name)
            lexer_.fail("a property name was expected");
        const int line = current_.line;
        AnsiString name = current_.text;
        advance();
        expectSymbol("=");
        return {std::move(name), value(), line};
    }

    TFormValue value()
    {
        Token token = current_;
        switch (token.kind) {
        case Token::Kind::Integer:
            advance();
            return TFormValue::Integer(token.integer);
        case Token::Kind::String:
            advance();
            return TFormValue::String(std::move(token.text));
        case Token::Kind::Name:
            // A missing value must not swallow the keyword that follows.
            if (atName("end") || atName("object"))
                break;
            return TFormValue::Identifier(expectName("a name"));
        case Token::Kind::Symbol:
            if (atSymbol("["))
                return set();
            break;
        case Token::Kind::End:
            break;
        }
        lexer_.fail("a value was expected");
    }

    TFormValue set()
    {
        expectSymbol("[");
        std::vector<AnsiString> names;
        if (!atSymbol("]")) {
            names.push_back(expectName("a name"));
            while (atSymbol(",")) {
                advance();
                names.push_back(expectName("a name"));
            }
        }
        expectSymbol("]");
        return TFormValue::Set(std::move(names));
    }

    Lexer lexer_;
    Token current_;
};

}  // namespace

TFormObject ParseFormDescription(std::string_view text) { return Parser(text).description(); }
