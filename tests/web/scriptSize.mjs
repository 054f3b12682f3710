// Measures a script as a minifier would leave it before renaming anything: comments dropped and
// white space kept only where two words would otherwise run together. The scripts hold no regular
// expression literals, so a "/" that opens no comment is always division.

const WORD = /[A-Za-z0-9_$]/;

export function minifiedLength(source) {
    let out = '';
    let pendingSpace = false;
    for (let i = 0; i < source.length; ) {
        const c = source[i];
        if (source.startsWith('//', i)) {
            i = source.indexOf('\n', i);
            i = i < 0 ? source.length : i;
        } else if (source.startsWith('/*', i)) {
            const end = source.indexOf('*/', i + 2);
            if (end < 0) throw new Error('unclosed comment');
            i = end + 2;
            pendingSpace = true;
        } else if (/\s/.test(c)) {
            pendingSpace = true;
            i++;
        } else {
            let token = c;
            if (c === "'" || c === '"' || c === '`') {
                let j = i + 1;
                while (j < source.length && source[j] !== c) j += source[j] === '\\' ? 2 : 1;
                if (j >= source.length) throw new Error('unclosed string');
                token = source.slice(i, j + 1);
            }
            const last = out[out.length - 1];
            const joins = last && ((WORD.test(last) && WORD.test(c)) || ((c === '+' || c === '-') && last === c));
            if (pendingSpace && joins) out += ' ';
            out += token;
            pendingSpace = false;
            i += token.length;
        }
    }
    return Buffer.byteLength(out, 'utf8');
}
