// Copies the TextMate grammar, its language configuration and the license
// into this folder before packaging (npm runs it as vscode:prepublish), so
// that editors/textmate keeps the one copy in the source tree.
'use strict';
const fs = require('fs');
const path = require('path');

const here = __dirname;
const top = path.join(here, '..', '..');
const copies = [
  [path.join(top, 'editors', 'textmate', 'oxel.tmLanguage.json'), path.join(here, 'syntaxes', 'oxel.tmLanguage.json')],
  [path.join(top, 'editors', 'textmate', 'language-configuration.json'),
   path.join(here, 'syntaxes', 'language-configuration.json')],
  [path.join(top, 'LICENSE'), path.join(here, 'LICENSE')],
];
fs.mkdirSync(path.join(here, 'syntaxes'), { recursive: true });
for (const [from, to] of copies) {
  fs.copyFileSync(from, to);
}
